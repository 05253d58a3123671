// build DIR OUT.pack: every file of a known type below DIR, keyed by its name (the path below
// DIR without the extension) and its lowered extension. Types are laid out in key order, and
// each type's entries in name-key order with their data in the same order, so reading a type
// from first to last never seeks.
#include "tools/PackCommands.h"

#include "core/files/FileService.h"
#include "core/files/FileStream.h"
#include "core/files/PackFormat.h"
#include "core/files/PackKeys.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

using namespace PackFormat;

namespace {
constexpr uint32_t kCopyBlock = 1 << 20;
// Offsets go through signed 32-bit seeks.
constexpr uint64_t kMaxPackSize = 0x7FFFFFFFu;

struct Input {
    std::string path;
    TypeKey type;
    NameKey key;
    uint32_t size;
};

// Type bytes first, then name bytes: the order of types and of entries within a type.
std::string SortKey(const Input& input) {
    std::string key(4 + NameKey::kSize, '\0');
    memcpy(&key[0], &input.type.value, 4);
    memcpy(&key[4], input.key.bytes, NameKey::kSize);
    return key;
}

bool FileSize(const std::string& path, uint32_t* size) {
    FileStream* file = FileService::OpenPlainFile(path.c_str(), ReadBinary, __FILE__, __LINE__);
    if (!file)
        return false;
    *size = file->GetSize();
    file->Close();
    return true;
}

// Header, type table and entry table for inputs sorted by SortKey; data follows them.
std::vector<uint8_t> Tables(const std::vector<Input>& inputs) {
    std::vector<uint32_t> typeStarts;
    for (size_t i = 0; i < inputs.size(); ++i)
        if (i == 0 || !(inputs[i].type == inputs[i - 1].type))
            typeStarts.push_back(uint32_t(i));
    const uint32_t typeOffset = kPackHeaderSize;
    const uint32_t entryOffset = typeOffset + uint32_t(typeStarts.size()) * kPackTypeSize;
    std::vector<uint8_t> bytes(entryOffset + inputs.size() * kPackEntrySize);
    WriteLE32(&bytes[0], kPackMagic);
    WriteLE32(&bytes[4], kPackVersion);
    WriteLE32(&bytes[8], uint32_t(typeStarts.size()));
    WriteLE32(&bytes[12], typeOffset);
    WriteLE32(&bytes[16], uint32_t(inputs.size()));
    WriteLE32(&bytes[20], entryOffset);
    for (size_t t = 0; t < typeStarts.size(); ++t) {
        const uint32_t end =
            t + 1 < typeStarts.size() ? typeStarts[t + 1] : uint32_t(inputs.size());
        uint8_t* record = &bytes[typeOffset + t * kPackTypeSize];
        memcpy(record, &inputs[typeStarts[t]].type.value, 4);
        WriteLE32(record + 4, typeStarts[t]);
        WriteLE32(record + 8, end - typeStarts[t]);
    }
    uint32_t dataOffset = uint32_t(bytes.size());
    for (size_t e = 0; e < inputs.size(); ++e) {
        uint8_t* record = &bytes[entryOffset + e * kPackEntrySize];
        memcpy(record, inputs[e].key.bytes, NameKey::kSize);
        WriteLE32(record + 32, dataOffset);
        WriteLE32(record + 36, inputs[e].size);
        dataOffset += inputs[e].size;
    }
    return bytes;
}

// Appends the whole file at path, which must still have the size measured before.
bool CopyInto(FileStream* out, const Input& input, std::vector<uint8_t>* buffer) {
    FileStream* in = FileService::OpenPlainFile(input.path.c_str(), ReadBinary, __FILE__, __LINE__);
    if (!in)
        return false;
    bool copied = in->GetSize() == input.size;
    for (uint32_t left = input.size; copied && left > 0;) {
        const uint32_t part = std::min(left, kCopyBlock);
        copied = in->ReadAll(buffer->data(), part) && out->Write(buffer->data(), part);
        left -= part;
    }
    in->Close();
    return copied;
}

int WritePack(const std::string& outPath, const std::vector<Input>& inputs, const ToolIo& io) {
    FileStream* out = FileService::OpenPlainFile(outPath.c_str(), WriteBinary, __FILE__, __LINE__);
    if (!out)
        return io.Fail("cannot create %s", outPath.c_str());
    const std::vector<uint8_t> tables = Tables(inputs);
    const bool tablesWritten = out->Write(tables.data(), uint32_t(tables.size()));
    std::vector<uint8_t> buffer(kCopyBlock);
    const Input* failed = nullptr;
    for (size_t i = 0; tablesWritten && !failed && i < inputs.size(); ++i)
        if (!CopyInto(out, inputs[i], &buffer))
            failed = &inputs[i];
    out->Close();
    if (tablesWritten && !failed)
        return 0;
    std::error_code ignored;
    std::filesystem::remove(outPath, ignored);
    if (failed)
        return io.Fail("could not copy %s into %s (changed while packing, or a read or write "
                       "failed)",
                       failed->path.c_str(), outPath.c_str());
    return io.Fail("cannot write %s", outPath.c_str());
}
} // namespace

int BuildCommand(const ToolArgs& args, const ToolIo& io) {
    const std::string& dir = args[0];
    const std::string& outPath = args[1];
    std::vector<std::string> files;
    std::string error;
    if (!ListFilesBelow(dir, &files, &error))
        return io.Fail("%s", error.c_str());

    std::error_code code;
    std::vector<Input> inputs;
    std::map<std::string, std::string> seen;
    uint64_t total = 0;
    for (const std::string& relative : files) {
        char name[kRegisteredNameSize];
        char extension[kRegisteredExtensionSize];
        if (!SplitFileName(relative.c_str(), name, extension) ||
            !FileService::IsKnownType(extension))
            continue;
        Input input{(std::filesystem::path(dir) / relative).generic_string(),
                    TypeKey::FromExtension(extension), NameKey::FromName(name), 0};
        if (std::filesystem::equivalent(input.path, outPath, code))
            continue;
        const auto added = seen.emplace(SortKey(input), input.path);
        if (!added.second)
            return io.Fail("%s and %s have the same key (name \"%s\", type \"%s\")",
                           added.first->second.c_str(), input.path.c_str(), name, extension);
        if (!FileSize(input.path, &input.size))
            return io.Fail("cannot read %s", input.path.c_str());
        if (input.size == 0)
            return io.Fail("%s is empty: a pack entry of size 0 would stand for a loose file",
                           input.path.c_str());
        total += input.size + kPackEntrySize;
        inputs.push_back(input);
    }
    if (total + kPackHeaderSize + inputs.size() * kPackTypeSize > kMaxPackSize)
        return io.Fail("the files below %s make a pack larger than 2 GB", dir.c_str());
    std::sort(inputs.begin(), inputs.end(),
              [](const Input& a, const Input& b) { return SortKey(a) < SortKey(b); });
    const int result = WritePack(outPath, inputs, io);
    if (result == 0)
        fprintf(io.out, "%s: %u files\n", outPath.c_str(), unsigned(inputs.size()));
    return result;
}
