// The index file: every known pack with its path and its type tables, as one block.
#pragma once

#include "core/files/PackRecord.h"

#include <cstdint>
#include <memory>
#include <vector>

using PackList = std::vector<std::unique_ptr<PackRecord>>;

enum class IndexParse {
    Packs,    // the packs were read
    NotIndex, // magic or version differ: an index with no packs
    Invalid,  // too short, or a count, offset or path that does not fit the block
};

// Reads an index block into new pack records. Numbers are read little-endian, or big-endian
// for the form SaveIndex writes on request. Everything is checked before use: counts and
// offsets against the block (all type records and all entry records together must fit it),
// entry counts not negative, paths terminated within their field.
IndexParse ParseIndex(const uint8_t* block, size_t size, bool bigEndian, PackList* packs);

// Lays the packs out as an index file: header, pack records, type records pack by pack,
// entry records pack by pack and type by type. The big-endian form swaps only the numbers;
// keys, paths and reserved words are written as they are (reserved words as zero).
std::vector<uint8_t> BuildIndex(const PackList& packs, bool bigEndian);
