#include "core/files/PackRecord.h"

#include <utility>

const PackTypeTable* PackRecord::FindType(TypeKey key) const {
    for (const PackTypeTable& table : types)
        if (table.key == key)
            return &table;
    return nullptr;
}

void PackRecord::SetTables(std::vector<PackTypeTable> tables) {
    failed = false;
    types = std::move(tables);
    lookup.Build(types);
}

void PackRecord::AddEntry(TypeKey type, const PackEntry& entry) {
    if (failed)
        return;
    uint32_t index = 0;
    while (index < types.size() && !(types[index].key == type))
        ++index;
    if (index == types.size())
        types.push_back(PackTypeTable{type, {}});
    types[index].entries.push_back(entry);
    lookup.Add(types, index, uint32_t(types[index].entries.size() - 1));
}

void PackRecord::MarkFailed() {
    ReleaseTables();
    failed = true;
}

void PackRecord::ReleaseTables() {
    failed = false;
    std::vector<PackTypeTable>().swap(types);
    lookup.Clear();
}
