#include "tools/release/ArchiveCheck.h"

#include "tools/release/ReleaseNames.h"

#include "core/platform/TempFile.h"
#include "updater/DeltaEntry.h"
#include "updater/DeltaPatch.h"
#include "updater/RemovalRecord.h"

#include <minizip/unzip.h>

#include <atomic>
#include <cstdio>
#include <memory>

namespace {

constexpr unsigned kReadBlock = 65536;
// Room for any name a zip can hold, so that a refused one can still be shown.
constexpr size_t kNameRoom = 65536;
constexpr size_t kScratchPathSize = 4096;

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

// Applies the current delta entry to its file below oldDir; the reason it fails, or empty.
std::string PatchEntry(unzFile archive, const std::string& oldDir, const char* target) {
    char result[kScratchPathSize];
    if (!PlatformCreateTempFile(result, sizeof result))
        return "no temporary file for its result";
    std::atomic<float> read{0.0f};
    const DeltaOutcome outcome =
        unzOpenCurrentFile(archive) == UNZ_OK
            ? ApplyDeltaEntry(archive, (oldDir + "/" + target).c_str(), result, &read)
            : DeltaOutcome::Failed;
    unzCloseCurrentFile(archive);
    remove(result);
    switch (outcome) {
    case DeltaOutcome::Applied:
        return std::string();
    case DeltaOutcome::BasisMismatch:
        return "it was not made from " + oldDir + "/" + target +
               ", so an installation with that file takes the full package";
    case DeltaOutcome::Failed:
        break;
    }
    return "applied to " + oldDir + "/" + target + " it does not give the file it names";
}

} // namespace

ArchiveReport CheckArchive(const std::string& path, const std::string* oldDir) {
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
        const char* patched = DeltaTargetName(entryName.c_str());
        std::string problem;
        if (info.size_filename != entryName.size())
            problem = "the name holds a NUL byte";
        // The removal record names the installation itself, which no file may; a delta entry
        // names its file behind its prefix.
        else if (const char* nameProblem =
                     entryName == kRemovalRecordName
                         ? nullptr
                         : EntryNameProblem(patched ? patched : entryName.c_str()))
            problem = nameProblem;
        else
            problem = ReadEntry(archive, info, block.get());
        if (problem.empty() && patched && oldDir)
            problem = PatchEntry(archive, *oldDir, patched);
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
