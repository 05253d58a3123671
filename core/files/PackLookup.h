// Hash index over one pack's type tables: (type key, name key) to the entry FindFile must
// return, so that a lookup costs the same for 10 entries or 100 000. It keeps the table-order
// rules of a linear search: only the first type table with a key counts, and within it the
// first entry with a name.
#pragma once

#include "core/files/PackKeys.h"

#include <cstdint>
#include <vector>

struct PackTypeTable;
struct PackEntry;

class PackLookup {
public:
    // Forgets every entry.
    void Clear();
    // Indexes all tables afresh.
    void Build(const std::vector<PackTypeTable>& types);
    // Indexes the entry types[type].entries[entry], appended last to the first table with its
    // key, unless an earlier entry of that table already has its name.
    void Add(const std::vector<PackTypeTable>& types, uint32_t type, uint32_t entry);
    // The entry for the keys, or null.
    const PackEntry* Find(const std::vector<PackTypeTable>& types, TypeKey type,
                          const NameKey& name) const;

private:
    struct Cell {
        uint32_t hash;
        uint32_t type; // kEmpty marks a free cell
        uint32_t entry;
    };
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;

    static uint32_t Hash(TypeKey type, const NameKey& name);
    // The cell holding the keys, or the free cell where they belong.
    uint32_t Probe(const std::vector<PackTypeTable>& types, uint32_t hash, TypeKey type,
                   const NameKey& name) const;
    void Insert(const std::vector<PackTypeTable>& types, uint32_t type, uint32_t entry);
    void Grow();

    std::vector<Cell> cells; // a power of two in size, at most half used
    uint32_t used = 0;
};
