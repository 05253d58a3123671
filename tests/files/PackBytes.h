// Pack data files laid out from the format's tables, independently of the code under test, and
// little-endian fields for building and patching them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PackItem {
    std::string name, type, data; // key texts cut to 32 and 4 characters here, not lowered
};

// Header, type table, entry table, then the data in item order; each run of items of one type
// gets a type record of its own.
std::string MakePack(const std::vector<PackItem>& items);

// The text cut or zero-padded to size bytes.
std::string Fixed(std::string text, size_t size);
uint32_t GetLE32(const std::string& bytes, size_t at);
std::string LE32(size_t value); // the low 32 bits
// The bytes with a little-endian number written over those at at.
std::string Patched(std::string bytes, size_t at, uint32_t value);
