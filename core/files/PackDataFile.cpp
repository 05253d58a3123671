#include "core/files/PackDataFile.h"

#include "core/files/FileStream.h"
#include "core/strings/BoundedText.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

using namespace PackFormat;

namespace {
// Reads exactly size bytes at offset.
bool ReadAt(FileStream* stream, uint32_t offset, uint8_t* buffer, uint32_t size) {
    if (stream->Seek(int32_t(offset), SEEK_SET) != 0)
        return false;
    return stream->ReadAll(buffer, size);
}

// Whether count records of recordSize bytes at offset lie inside a file of fileSize bytes.
bool Fits(uint32_t offset, uint64_t count, uint32_t recordSize, uint32_t fileSize) {
    return uint64_t(offset) + count * recordSize <= fileSize;
}

bool ReadTables(FileStream* stream, const char* path, std::vector<PackTypeTable>* types,
                int32_t* position) {
    const uint32_t fileSize = stream->GetSize();
    uint8_t header[kPackHeaderSize];
    // Offsets are passed to Seek as signed 32-bit values.
    if (fileSize > 0x7FFFFFFFu || !ReadAt(stream, 0, header, kPackHeaderSize))
        return false;
    if (ReadLE32(header) != kPackMagic || ReadLE32(header + 4) != kPackVersion)
        return false;
    const uint32_t typeCount = ReadLE32(header + 8);
    const uint32_t typeOffset = ReadLE32(header + 12);
    const uint32_t entryCount = ReadLE32(header + 16);
    const uint32_t entryOffset = ReadLE32(header + 20);
    if (!Fits(typeOffset, typeCount, kPackTypeSize, fileSize) ||
        !Fits(entryOffset, entryCount, kPackEntrySize, fileSize))
        return false;

    std::vector<uint8_t> typeRecords(size_t(typeCount) * kPackTypeSize);
    std::vector<uint8_t> entryRecords(size_t(entryCount) * kPackEntrySize);
    if (!ReadAt(stream, typeOffset, typeRecords.data(), uint32_t(typeRecords.size())) ||
        !ReadAt(stream, entryOffset, entryRecords.data(), uint32_t(entryRecords.size())))
        return false;

    uint64_t total = 0;
    for (uint32_t t = 0; t < typeCount; ++t) {
        const uint8_t* record = typeRecords.data() + size_t(t) * kPackTypeSize;
        const uint64_t first = ReadLE32(record + 4);
        const uint64_t count = ReadLE32(record + 8);
        total += count;
        if (first + count > entryCount || total > entryCount)
            return false;
    }
    std::vector<PackTypeTable> tables(typeCount);
    for (uint32_t t = 0; t < typeCount; ++t) {
        const uint8_t* record = typeRecords.data() + size_t(t) * kPackTypeSize;
        memcpy(&tables[t].key.value, record, 4);
        const uint32_t first = ReadLE32(record + 4);
        const uint32_t count = ReadLE32(record + 8);
        tables[t].entries.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* source = entryRecords.data() + size_t(first + i) * kPackEntrySize;
            PackEntry& entry = tables[t].entries[i];
            memcpy(entry.name.bytes, source, NameKey::kSize);
            entry.offset = ReadLE32(source + 32);
            entry.size = ReadLE32(source + 36);
            StrCopy(entry.path, sizeof entry.path, path);
        }
    }
    *types = std::move(tables);
    *position = int32_t(entryOffset + entryCount * kPackEntrySize);
    return true;
}
} // namespace

bool ReadPackDataTables(FileStream* stream, const char* path, std::vector<PackTypeTable>* types,
                        int32_t* position) {
    // Tables too large for the memory at hand fail the pack like damaged ones.
    try {
        return ReadTables(stream, path, types, position);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
