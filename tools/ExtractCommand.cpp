// extract PACK NAME.EXT OUT: copies the entry FindFile would give for the name and the
// (lowered) extension out of a pack data file.
#include "tools/PackCommands.h"

#include "core/files/FileService.h"
#include "core/files/FileStream.h"
#include "core/files/PackDataFile.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace {
constexpr uint32_t kCopyBlock = 1 << 20;

bool CopyRange(FileStream* in, const PackEntry& entry, FileStream* out) {
    if (in->Seek(int32_t(entry.offset), SEEK_SET) != 0)
        return false;
    std::vector<uint8_t> buffer(std::min(entry.size, kCopyBlock));
    for (uint32_t left = entry.size; left > 0;) {
        const uint32_t part = std::min(left, kCopyBlock);
        if (!in->ReadAll(buffer.data(), part) || !out->Write(buffer.data(), part))
            return false;
        left -= part;
    }
    return true;
}

int Extract(FileStream* in, const ToolArgs& args, const ToolIo& io) {
    const std::string& packPath = args[0];
    const std::string& fileName = args[1];
    const std::string& outPath = args[2];
    std::vector<PackTypeTable> types;
    int32_t position = 0;
    if (!ReadPackDataTables(in, packPath.c_str(), &types, &position))
        return io.Fail("%s is not a valid pack data file", packPath.c_str());
    char name[kRegisteredNameSize];
    char extension[kRegisteredExtensionSize];
    if (!SplitFileName(fileName.c_str(), name, extension))
        return io.Fail("\"%s\" is not a NAME.EXT", fileName.c_str());
    PackRecord pack;
    pack.SetTables(std::move(types));
    const PackEntry* entry =
        pack.FindEntry(TypeKey::FromExtension(extension), NameKey::FromName(name));
    if (!entry)
        return io.Fail("%s holds no %s", packPath.c_str(), fileName.c_str());
    if (entry->size == 0)
        return io.Fail("%s in %s has size 0: it stands for a loose file", fileName.c_str(),
                       packPath.c_str());
    FileStream* out = FileService::OpenPlainFile(outPath.c_str(), WriteBinary, __FILE__, __LINE__);
    if (!out)
        return io.Fail("cannot create %s", outPath.c_str());
    const bool copied = CopyRange(in, *entry, out);
    out->Close();
    if (copied)
        return 0;
    std::error_code ignored;
    std::filesystem::remove(outPath, ignored);
    return io.Fail("could not copy %s out of %s", fileName.c_str(), packPath.c_str());
}
} // namespace

int ExtractCommand(const ToolArgs& args, const ToolIo& io) {
    FileStream* in = FileService::OpenPlainFile(args[0].c_str(), ReadBinary, __FILE__, __LINE__);
    if (!in)
        return io.Fail("cannot open %s", args[0].c_str());
    const int result = Extract(in, args, io);
    in->Close();
    return result;
}
