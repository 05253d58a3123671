// Pack data files laid out byte by byte from the format's tables, independently of the code
// under test, and little-endian field access for patching them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PackItem {
    std::string name; // name key text, cut to 32 characters here but not lowered
    std::string type; // type key text, up to 4 characters
    std::string data;
};

// Header, type table, entry table, then the items' data in order. Each run of consecutive
// items of one type gets one type record, so a type may be given twice on purpose.
std::string MakePack(const std::vector<PackItem>& items);
// Offset of entry i's record in a pack made by MakePack with typeRuns type records.
size_t EntryRecordAt(size_t typeRuns, size_t entry);

uint32_t GetLE32(const std::string& bytes, size_t at);
void PutLE32(std::string* bytes, size_t at, uint32_t value);
