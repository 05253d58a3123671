#include "tests/files/PackBytes.h"

std::string Fixed(std::string text, size_t size) {
    text.resize(size, '\0');
    return text;
}

std::string MakePack(const std::vector<PackItem>& items) {
    std::string types, entries, data;
    size_t runs = 0;
    for (size_t first = 0, end = 0; first < items.size(); first = end, ++runs) {
        while (end < items.size() && items[end].type == items[first].type)
            ++end;
        types += Fixed(items[first].type, 4) + LE32(first) + LE32(end - first);
    }
    const size_t dataAt = 24 + 12 * runs + 40 * items.size();
    for (const PackItem& item : items) {
        entries += Fixed(item.name, 32) + LE32(dataAt + data.size()) + LE32(item.data.size());
        data += item.data;
    }
    return "QDFPVF01" + LE32(runs) + LE32(24) + LE32(items.size()) + LE32(24 + types.size()) +
           types + entries + data;
}

uint32_t GetLE32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(bytes.at(at + i));
    return value;
}

std::string LE32(size_t value) {
    return Patched(std::string(4, '\0'), 0, uint32_t(value));
}

std::string Patched(std::string bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(at + i) = char(value >> (8 * i));
    return bytes;
}
