#include "tests/files/PackBytes.h"

namespace {
void Append32(std::string* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes->push_back(char(value >> (8 * i)));
}

void AppendFixed(std::string* bytes, const std::string& text, size_t size) {
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    bytes->append(field);
}
} // namespace

size_t EntryRecordAt(size_t typeRuns, size_t entry) {
    return 24 + 12 * typeRuns + 40 * entry;
}

std::string MakePack(const std::vector<PackItem>& items) {
    std::vector<size_t> runs;
    for (size_t i = 0; i < items.size(); ++i)
        if (i == 0 || items[i].type != items[i - 1].type)
            runs.push_back(i);
    std::string bytes = "QDFPVF01";
    Append32(&bytes, uint32_t(runs.size()));
    Append32(&bytes, 24);
    Append32(&bytes, uint32_t(items.size()));
    Append32(&bytes, uint32_t(24 + 12 * runs.size()));
    for (size_t r = 0; r < runs.size(); ++r) {
        const size_t end = r + 1 < runs.size() ? runs[r + 1] : items.size();
        AppendFixed(&bytes, items[runs[r]].type, 4);
        Append32(&bytes, uint32_t(runs[r]));
        Append32(&bytes, uint32_t(end - runs[r]));
    }
    uint32_t offset = uint32_t(EntryRecordAt(runs.size(), items.size()));
    for (const PackItem& item : items) {
        AppendFixed(&bytes, item.name, 32);
        Append32(&bytes, offset);
        Append32(&bytes, uint32_t(item.data.size()));
        offset += uint32_t(item.data.size());
    }
    for (const PackItem& item : items)
        bytes += item.data;
    return bytes;
}

uint32_t GetLE32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(bytes.at(at + i));
    return value;
}

void PutLE32(std::string* bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes->at(at + i) = char(value >> (8 * i));
}
