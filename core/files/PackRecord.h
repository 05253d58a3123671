// In-memory tables of one pack: its type tables and their entries, with the hash index that
// answers FindFile. The same records serve packs read from a pack data file, from an index file
// or filled by AddFile.
#pragma once

#include "core/files/PackFormat.h"
#include "core/files/PackKeys.h"
#include "core/files/PackLookup.h"

#include <cstdint>
#include <vector>

struct PackEntry {
    NameKey name;
    uint32_t offset;
    uint32_t size; // 0: a loose file, whose data is the whole file at path
    char path[PackFormat::kPathSize];
};

struct PackTypeTable {
    TypeKey key;
    std::vector<PackEntry> entries;
};

class PackRecord {
public:
    NameKey name = {};
    char path[PackFormat::kPathSize] = {}; // the pack data file; empty for none

    // -1 when the data file failed to load, else the number of type tables (0: not loaded).
    int32_t TypeCount() const { return failed ? -1 : int32_t(types.size()); }
    const std::vector<PackTypeTable>& Types() const { return types; }

    // The first type table with the key, or null.
    const PackTypeTable* FindType(TypeKey key) const;
    // The entry FindFile takes from this pack, or null.
    const PackEntry* FindEntry(TypeKey type, const NameKey& entryName) const {
        return lookup.Find(types, type, entryName);
    }

    // Replaces the tables (the pack counts as loaded).
    void SetTables(std::vector<PackTypeTable> tables);
    // Appends an entry to the first table with the key, creating that table when needed. A
    // failed pack takes nothing: it holds no files until released.
    void AddEntry(TypeKey type, const PackEntry& entry);
    // Marks the pack failed: no tables, never read again until released.
    void MarkFailed();
    // Drops the tables and the failure mark (type count 0).
    void ReleaseTables();

private:
    bool failed = false;
    std::vector<PackTypeTable> types;
    PackLookup lookup;
};
