// list FILE: a pack data file (its types and entries) or an index file in either byte order
// (its packs, types and entries).
#include "tools/PackCommands.h"

#include "core/files/FileService.h"
#include "core/files/FileStream.h"
#include "core/files/PackDataFile.h"
#include "core/files/PackIndexFile.h"

#include <cstring>

using namespace PackFormat;

namespace {
constexpr uint32_t kSwappedIndexMagic = FourCC("SFVZ");

// The type key's characters up to its first zero byte.
std::string TypeText(TypeKey key) {
    char text[5] = {};
    memcpy(text, &key.value, 4);
    return text;
}

std::string NameText(const NameKey& key) {
    char text[NameKey::kTextSize];
    key.CopyText(text);
    return text;
}

void PrintEntries(const PackTypeTable& table, const char* indent, bool withPath, FILE* out) {
    fprintf(out, "%stype \"%s\": %u entries\n", indent, TypeText(table.key).c_str(),
            unsigned(table.entries.size()));
    for (const PackEntry& entry : table.entries) {
        fprintf(out, "%s  offset %u size %u name \"%s\"", indent, unsigned(entry.offset),
                unsigned(entry.size), NameText(entry.name).c_str());
        if (withPath)
            fprintf(out, " path \"%s\"", entry.path);
        fputc('\n', out);
    }
}

int ListPack(FileStream* stream, const std::string& path, const ToolIo& io) {
    std::vector<PackTypeTable> types;
    int32_t position = 0;
    if (!ReadPackDataTables(stream, path.c_str(), &types, &position))
        return io.Fail("%s is not a valid pack data file", path.c_str());
    size_t entries = 0;
    for (const PackTypeTable& table : types)
        entries += table.entries.size();
    fprintf(io.out, "pack data file %s: %u types, %u entries\n", path.c_str(),
            unsigned(types.size()), unsigned(entries));
    for (const PackTypeTable& table : types)
        PrintEntries(table, "", false, io.out);
    return 0;
}

int ListIndex(FileStream* stream, const std::string& path, bool bigEndian, const ToolIo& io) {
    std::vector<uint8_t> block(stream->GetSize());
    if (stream->Seek(0, SEEK_SET) != 0 || !stream->ReadAll(block.data(), uint32_t(block.size())))
        return io.Fail("cannot read %s", path.c_str());
    PackList packs;
    if (ParseIndex(block.data(), block.size(), bigEndian, &packs) != IndexParse::Packs)
        return io.Fail("%s is not a valid index file", path.c_str());
    fprintf(io.out, "index %s (%s): %u packs\n", path.c_str(),
            bigEndian ? "big-endian" : "little-endian", unsigned(packs.size()));
    for (const auto& pack : packs) {
        fprintf(io.out, "pack \"%s\" path \"%s\": ", NameText(pack->name).c_str(), pack->path);
        if (pack->TypeCount() < 0)
            fputs("failed to load\n", io.out);
        else if (pack->TypeCount() == 0)
            fputs("no tables\n", io.out);
        else
            fprintf(io.out, "%d types\n", int(pack->TypeCount()));
        for (const PackTypeTable& table : pack->Types())
            PrintEntries(table, "  ", true, io.out);
    }
    return 0;
}
} // namespace

int ListCommand(const ToolArgs& args, const ToolIo& io) {
    const std::string& path = args[0];
    FileStream* stream = FileService::OpenPlainFile(path.c_str(), ReadBinary, __FILE__, __LINE__);
    if (!stream)
        return io.Fail("cannot open %s", path.c_str());
    uint8_t magic[4] = {};
    int result;
    if (stream->Read(magic, 4, 1) != 4)
        result = io.Fail("%s is neither a pack data file nor an index file", path.c_str());
    else if (ReadLE32(magic) == kPackMagic)
        result = ListPack(stream, path, io);
    else if (ReadLE32(magic) == kIndexMagic)
        result = ListIndex(stream, path, false, io);
    else if (ReadLE32(magic) == kSwappedIndexMagic)
        result = ListIndex(stream, path, true, io);
    else
        result = io.Fail("%s is neither a pack data file nor an index file", path.c_str());
    stream->Close();
    return result;
}
