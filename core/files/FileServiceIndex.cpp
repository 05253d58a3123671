// FileService: reading and writing the index file, the checksum table and the versions file.
#include "core/files/FileService.h"

#include "core/files/FileChecksum.h"
#include "core/files/FileStream.h"
#include "core/files/MemoryFile.h"
#include "core/files/VersionsFile.h"
#include "core/strings/TextCompare.h"

#include <new>
#include <utility>

namespace {
constexpr const char* kChecksumTableName = "table";

bool WriteWhole(const char* path, const std::vector<uint8_t>& bytes) {
    FileStream* file = FileService::OpenPlainFile(path, WriteBinary, __FILE__, __LINE__);
    if (!file)
        return false;
    const bool written = file->Write(bytes.data(), uint32_t(bytes.size()));
    file->Close();
    return written;
}
} // namespace

bool FileService::LoadIndex(const char* path) {
    FileStream* file = OpenPlainFile(path, ReadBinary, __FILE__, __LINE__);
    if (!file)
        return false;
    // An index too large for the memory at hand is refused like an unreadable one.
    try {
        std::vector<uint8_t> block(file->GetSize());
        const bool read = file->ReadAll(block.data(), uint32_t(block.size()));
        file->Close();
        file = nullptr;
        PackList loaded;
        if (!read || ParseIndex(block.data(), block.size(), false, &loaded) == IndexParse::Invalid)
            return false;
        packs.reserve(packs.size() + loaded.size());
        for (auto& pack : loaded)
            packs.push_back(std::move(pack));
        return true;
    } catch (const std::bad_alloc&) {
        if (file)
            file->Close();
        return false;
    }
}

bool FileService::SaveIndex(const char* indexPath, bool bigEndian, bool checksumTable,
                            const char* versionSource, const char* versionText) {
    bool written = WriteWhole(indexPath, BuildIndex(packs, bigEndian));
    if (checksumTable)
        written = WriteChecksumTable() && written;
    if (!StrIsEmpty(versionSource) && !StrIsEmpty(versionText))
        written = WriteVersion(versionSource, versionText) && written;
    return written;
}

bool FileService::WriteChecksumTable() {
    std::vector<uint8_t> table;
    if (!packs.empty())
        for (const PackTypeTable& type : packs.front()->Types())
            for (auto entry = type.entries.rbegin(); entry != type.entries.rend(); ++entry) {
                uint8_t checksum[4];
                PackFormat::WriteLE32(checksum, FileChecksum(entry->path));
                table.insert(table.end(), checksum, checksum + 4);
            }
    return WriteWhole(kChecksumTableName, table);
}

bool FileService::WriteVersion(const char* source, const char* text) {
    char name[kVersionsNameLength + 1];
    if (!VersionsFileName(source, name, sizeof name))
        return false;
    const uint32_t checksum = FileChecksum(source);
    std::vector<VersionRecord> records;
    if (MemoryFile* old = LoadPlainMemoryFile(name, false, __FILE__, __LINE__)) {
        records = ReadVersionRecords(old->GetData(), old->GetSize());
        old->Release();
    }
    SetVersion(&records, checksum, text);
    return WriteWhole(name, BuildVersionsFile(records));
}
