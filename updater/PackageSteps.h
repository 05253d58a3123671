// The journal steps of a package, gathered entry by entry as it is extracted into the staging
// folder, in the order they are done: directories, removals, moves.
#pragma once

#include "updater/UpdateJournal.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct PackageSteps {
    std::vector<JournalStep> directories, moves;
    // Installation-relative names the package's removal record lists.
    std::vector<std::string> removed;

    void Add(JournalStep::Kind kind, uint32_t staged, const char* name);
    // Moves the steps into journal; false when a removed name is not one an entry could have,
    // or the steps are more than a journal holds. Removals of files the package also brings
    // are dropped: the package's file wins.
    bool MoveInto(UpdateJournal* journal);
};

// Adds count bytes to an extraction's progress. One thread at a time writes it (the worker, or
// the one extracting while the package arrives), so a load and a store publish it whole.
inline void AddExtracted(std::atomic<float>* extracted, uint64_t count) {
    extracted->store(extracted->load(std::memory_order_relaxed) + float(count),
                     std::memory_order_relaxed);
}
