#include "tools/release/ArchiveCheck.h"

#include "tools/release/ReleaseNames.h"

#include "updater/RemovalRecord.h"

#include <minizip/unzip.h>

#include <memory>

namespace {

constexpr unsigned kReadBlock = 65536;
// Room for any name a zip can hold, so that a refused one can still be shown.
constexpr size_t kNameRoom = 65536;

// Reads the current entry to its end; the reason it fails, or empty.
std::string ReadEntry(unzFile archive, const unz_file_info64& info, char* block) {
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED)
        return "compression method " + std::to_string(info.compression_method) +
               ", and the launcher decodes only 0 (stored) and 8 (deflate)";
    if (info.flag & 1)
        return "encrypted, and the launcher has no password";
    if (unzOpenCurrentFile(archive) != UNZ_OK)
        return "the zip reader cannot open its data";
    uint64_t total = 0;
    int count;
    while ((count = unzReadCurrentFile(archive, block, kReadBlock)) > 0)
        total += unsigned(count);
    const int closed = unzCloseCurrentFile(archive);
    if (count < 0)
        return "its data are damaged (the zip reader fails after " + std::to_string(total) +
               " bytes)";
    if (total != info.uncompressed_size)
        return "it holds " + std::to_string(total) + " bytes but claims " +
               std::to_string(info.uncompressed_size);
    if (closed == UNZ_CRCERROR)
        return "its checksum does not match its data";
    if (closed != UNZ_OK)
        return "the zip reader fails at its end";
    return std::string();
}

} // namespace

ArchiveReport CheckArchive(const std::string& path) {
    ArchiveReport report;
    unzFile archive = unzOpen64(path.c_str());
    if (!archive)
        return report;
    report.readable = true;
    unz_global_info64 global;
    const bool counted = unzGetGlobalInfo64(archive, &global) == UNZ_OK;
    std::unique_ptr<char[]> name(new char[kNameRoom]);
    std::unique_ptr<char[]> block(new char[kReadBlock]);
    int walk = unzGoToFirstFile(archive);
    for (; walk == UNZ_OK; walk = unzGoToNextFile(archive)) {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive, &info, name.get(), kNameRoom, nullptr, 0, nullptr,
                                    0) != UNZ_OK)
            break;
        ++report.entries;
        report.bytes += info.uncompressed_size;
        const std::string entryName(name.get());
        std::string problem;
        if (info.size_filename != entryName.size())
            problem = "the name holds a NUL byte";
        // The removal record names the installation itself, which no file may.
        else if (const char* nameProblem =
                     entryName == kRemovalRecordName ? nullptr : EntryNameProblem(entryName))
            problem = nameProblem;
        else
            problem = ReadEntry(archive, info, block.get());
        if (!problem.empty())
            report.problems.push_back(entryName + ": " + problem);
    }
    if (walk != UNZ_END_OF_LIST_OF_FILE || (counted && global.number_entry != report.entries))
        report.problems.push_back(
            "the archive's directory is damaged after " + std::to_string(report.entries) +
            " entries" +
            (counted ? " (it announces " + std::to_string(global.number_entry) + ")" : ""));
    unzClose(archive);
    return report;
}
