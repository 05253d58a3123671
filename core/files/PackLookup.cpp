#include "core/files/PackLookup.h"

#include "core/files/PackRecord.h"

#include <cstring>
#include <unordered_set>

namespace {
constexpr uint32_t kInitialCells = 16;

uint64_t Mix(uint64_t h, uint64_t word) {
    h = (h ^ word) * 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 32);
}
} // namespace

void PackLookup::Clear() {
    std::vector<Cell>().swap(cells);
    used = 0;
}

void PackLookup::Build(const std::vector<PackTypeTable>& types) {
    Clear();
    size_t total = 0;
    for (const PackTypeTable& table : types)
        total += table.entries.size();
    uint32_t size = kInitialCells;
    while (size < 2 * total)
        size *= 2;
    cells.assign(size, Cell{0, kEmpty, 0});

    // A later table with a key already seen is never reached by a type lookup.
    std::unordered_set<uint32_t> seen;
    for (uint32_t type = 0; type < types.size(); ++type) {
        if (!seen.insert(types[type].key.value).second)
            continue;
        for (uint32_t entry = 0; entry < types[type].entries.size(); ++entry)
            Insert(types, type, entry);
    }
}

void PackLookup::Add(const std::vector<PackTypeTable>& types, uint32_t type, uint32_t entry) {
    if (cells.empty())
        cells.assign(kInitialCells, Cell{0, kEmpty, 0});
    Insert(types, type, entry);
}

const PackEntry* PackLookup::Find(const std::vector<PackTypeTable>& types, TypeKey type,
                                  const NameKey& name) const {
    if (cells.empty())
        return nullptr;
    const Cell& cell = cells[Probe(types, Hash(type, name), type, name)];
    return cell.type == kEmpty ? nullptr : &types[cell.type].entries[cell.entry];
}

uint32_t PackLookup::Hash(TypeKey type, const NameKey& name) {
    uint64_t h = uint64_t(type.value) * 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < NameKey::kSize; i += 8) {
        uint64_t word;
        memcpy(&word, name.bytes + i, 8);
        h = Mix(h, word);
    }
    return uint32_t(h);
}

uint32_t PackLookup::Probe(const std::vector<PackTypeTable>& types, uint32_t hash, TypeKey type,
                           const NameKey& name) const {
    const uint32_t mask = uint32_t(cells.size() - 1);
    for (uint32_t index = hash & mask;; index = (index + 1) & mask) {
        const Cell& cell = cells[index];
        if (cell.type == kEmpty)
            return index;
        if (cell.hash == hash && types[cell.type].key == type &&
            types[cell.type].entries[cell.entry].name == name)
            return index;
    }
}

void PackLookup::Insert(const std::vector<PackTypeTable>& types, uint32_t type, uint32_t entry) {
    const PackEntry& added = types[type].entries[entry];
    const uint32_t hash = Hash(types[type].key, added.name);
    const uint32_t index = Probe(types, hash, types[type].key, added.name);
    if (cells[index].type != kEmpty)
        return;
    cells[index] = Cell{hash, type, entry};
    if (++used * 2 > cells.size())
        Grow();
}

void PackLookup::Grow() {
    std::vector<Cell> old;
    old.swap(cells);
    cells.assign(old.size() * 2, Cell{0, kEmpty, 0});
    const uint32_t mask = uint32_t(cells.size() - 1);
    for (const Cell& cell : old) {
        if (cell.type == kEmpty)
            continue;
        uint32_t index = cell.hash & mask;
        while (cells[index].type != kEmpty)
            index = (index + 1) & mask;
        cells[index] = cell;
    }
}
