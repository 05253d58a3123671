// Applying a delta entry of an update package: the installed file is the basis, the result goes
// into the staging folder. Memory stays flat whatever the file's size: the delta streams through
// two blocks and the basis is read at 64-bit positions only where the delta copies from it.
#pragma once

#include "updater/EntryPath.h"

#include <minizip/unzip.h>

#include <atomic>
#include <cstdint>

enum class DeltaOutcome {
    Applied,       // target holds the result, its size and SHA-256 as the delta names them
    BasisMismatch, // the installed file is missing or not the one the delta applies to
    Failed,        // a damaged delta, a result that does not match, or a write that failed
};

// Reads the size of the file that the current delta entry of archive produces, opening and
// closing the entry. False when it cannot be read or its header is damaged.
bool DeltaResultSize(unzFile archive, uint64_t* size);

// Applies the open delta entry of archive to the file at basisPath, writing the result into a
// new file at target; every byte of the result is added to *extracted, as the package's total
// counts the results of its deltas. target is left behind on failure, for the caller's staging
// folder to drop.
DeltaOutcome ApplyDeltaEntry(unzFile archive, const char* basisPath, const char* target,
                             std::atomic<float>* extracted);

// Applies the open delta entry of archive, number index, that patches the file name of the
// installation at root into the staging folder at staging, as the staged file of index; writes
// the file's installation-relative name into relative.
DeltaOutcome StageDeltaEntry(unzFile archive, const char* root, const char* staging, uint32_t index,
                             const char* name, char (&relative)[kEntryNameSize],
                             std::atomic<float>* extracted);
