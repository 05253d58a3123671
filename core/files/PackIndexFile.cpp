#include "core/files/PackIndexFile.h"

#include "core/strings/BoundedText.h"

#include <cstring>
#include <utility>

using namespace PackFormat;

namespace {
class BlockReader {
public:
    BlockReader(const uint8_t* block, size_t size, bool bigEndian)
        : block(block), size(size), bigEndian(bigEndian) {}

    // Whether count records of recordSize bytes at offset lie inside the block.
    bool Fits(uint64_t offset, uint64_t count, uint32_t recordSize) const {
        return offset + count * recordSize <= size;
    }
    uint32_t Number(uint64_t at) const {
        return bigEndian ? ReadBE32(block + at) : ReadLE32(block + at);
    }
    const uint8_t* At(uint64_t at) const { return block + at; }

private:
    const uint8_t* block;
    size_t size;
    bool bigEndian;
};

bool ReadEntries(const BlockReader& in, uint32_t offset, uint32_t count, PackTypeTable* table) {
    table->entries.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = uint64_t(offset) + uint64_t(i) * kIndexEntrySize;
        PackEntry& entry = table->entries[i];
        memcpy(entry.name.bytes, in.At(at), NameKey::kSize);
        entry.offset = in.Number(at + kIndexEntryOffset);
        entry.size = in.Number(at + kIndexEntrySizeField);
        if (!PathFieldTerminated(in.At(at + kIndexEntryPath)))
            return false;
        StrCopy(entry.path, sizeof entry.path,
                reinterpret_cast<const char*>(in.At(at + kIndexEntryPath)));
    }
    return true;
}

// Reads the type tables of one pack record; totals bound the work by the block's size even
// when records share their tables.
bool ReadTypes(const BlockReader& in, uint32_t offset, uint32_t count, uint64_t* totalTypes,
               uint64_t* totalEntries, std::vector<PackTypeTable>* types) {
    *totalTypes += count;
    if (!in.Fits(offset, count, kIndexTypeSize) || !in.Fits(0, *totalTypes, kIndexTypeSize))
        return false;
    types->resize(count);
    for (uint32_t t = 0; t < count; ++t) {
        const uint64_t at = uint64_t(offset) + uint64_t(t) * kIndexTypeSize;
        memcpy(&(*types)[t].key.value, in.At(at), 4);
        const uint32_t entriesOffset = in.Number(at + kIndexTypeEntriesOffset);
        const int32_t entryCount = int32_t(in.Number(at + kIndexTypeEntryCount));
        *totalEntries += uint32_t(entryCount);
        if (entryCount < 0 || !in.Fits(entriesOffset, uint32_t(entryCount), kIndexEntrySize) ||
            !in.Fits(0, *totalEntries, kIndexEntrySize))
            return false;
        if (!ReadEntries(in, entriesOffset, uint32_t(entryCount), &(*types)[t]))
            return false;
    }
    return true;
}
} // namespace

IndexParse ParseIndex(const uint8_t* block, size_t size, bool bigEndian, PackList* packs) {
    const BlockReader in(block, size, bigEndian);
    if (!in.Fits(0, 2, 4))
        return IndexParse::Invalid;
    if (in.Number(0) != kIndexMagic || in.Number(4) != kIndexVersion)
        return IndexParse::NotIndex;
    if (!in.Fits(0, 1, kIndexHeaderSize))
        return IndexParse::Invalid;
    const uint32_t packCount = in.Number(8);
    if (!in.Fits(kIndexHeaderSize, packCount, kIndexPackSize))
        return IndexParse::Invalid;

    PackList read;
    uint64_t totalTypes = 0;
    uint64_t totalEntries = 0;
    for (uint32_t p = 0; p < packCount; ++p) {
        const uint64_t at = kIndexHeaderSize + uint64_t(p) * kIndexPackSize;
        auto pack = std::make_unique<PackRecord>();
        memcpy(pack->name.bytes, in.At(at), NameKey::kSize);
        if (!PathFieldTerminated(in.At(at + kIndexPackPath)))
            return IndexParse::Invalid;
        StrCopy(pack->path, sizeof pack->path,
                reinterpret_cast<const char*>(in.At(at + kIndexPackPath)));
        const int32_t typeCount = int32_t(in.Number(at + kIndexPackTypeCount));
        if (typeCount < 0) {
            pack->MarkFailed();
        } else if (typeCount > 0) {
            std::vector<PackTypeTable> types;
            if (!ReadTypes(in, in.Number(at + kIndexPackTypesOffset), uint32_t(typeCount),
                           &totalTypes, &totalEntries, &types))
                return IndexParse::Invalid;
            pack->SetTables(std::move(types));
        }
        read.push_back(std::move(pack));
    }
    *packs = std::move(read);
    return IndexParse::Packs;
}

namespace {
class BlockWriter {
public:
    BlockWriter(std::vector<uint8_t>* block, bool bigEndian) : block(block), bigEndian(bigEndian) {}

    void Number(size_t at, uint32_t value) {
        if (bigEndian)
            WriteBE32(block->data() + at, value);
        else
            WriteLE32(block->data() + at, value);
    }
    void Bytes(size_t at, const void* bytes, size_t count) {
        memcpy(block->data() + at, bytes, count);
    }
    void Text(size_t at, const char* text) { Bytes(at, text, strlen(text)); }

private:
    std::vector<uint8_t>* block;
    bool bigEndian;
};
} // namespace

std::vector<uint8_t> BuildIndex(const PackList& packs, bool bigEndian) {
    size_t typeTotal = 0;
    size_t entryTotal = 0;
    for (const auto& pack : packs)
        for (const PackTypeTable& table : pack->Types()) {
            ++typeTotal;
            entryTotal += table.entries.size();
        }
    const size_t typesStart = kIndexHeaderSize + packs.size() * kIndexPackSize;
    const size_t entriesStart = typesStart + typeTotal * kIndexTypeSize;
    std::vector<uint8_t> block(entriesStart + entryTotal * kIndexEntrySize);
    BlockWriter out(&block, bigEndian);
    out.Number(0, kIndexMagic);
    out.Number(4, kIndexVersion);
    out.Number(8, uint32_t(packs.size()));

    size_t packAt = kIndexHeaderSize;
    size_t typeAt = typesStart;
    size_t entryAt = entriesStart;
    for (const auto& pack : packs) {
        out.Bytes(packAt, pack->name.bytes, NameKey::kSize);
        out.Text(packAt + kIndexPackPath, pack->path);
        out.Number(packAt + kIndexPackTypesOffset, uint32_t(typeAt));
        out.Number(packAt + kIndexPackTypeCount, uint32_t(pack->TypeCount()));
        packAt += kIndexPackSize;
        for (const PackTypeTable& table : pack->Types()) {
            out.Bytes(typeAt, &table.key.value, 4);
            out.Number(typeAt + kIndexTypeEntriesOffset, uint32_t(entryAt));
            out.Number(typeAt + kIndexTypeEntryCount, uint32_t(table.entries.size()));
            typeAt += kIndexTypeSize;
            for (const PackEntry& entry : table.entries) {
                out.Bytes(entryAt, entry.name.bytes, NameKey::kSize);
                out.Number(entryAt + kIndexEntryOffset, entry.offset);
                out.Number(entryAt + kIndexEntrySizeField, entry.size);
                out.Text(entryAt + kIndexEntryPath, entry.path);
                entryAt += kIndexEntrySize;
            }
        }
    }
    return block;
}
