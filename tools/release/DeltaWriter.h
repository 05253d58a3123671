// Deltas for an update package: for a changed file whose old version exists, the librsync
// difference from the old file, kept when it is clearly smaller than the file deflated.
#pragma once

#include "tools/release/TreeChanges.h"
#include "updater/DeltaEntry.h"

#include <minizip/zip.h>

#include <cstdio>
#include <string>
#include <vector>

struct PackedDelta {
    std::string name;   // the file's name, relative, '/' separators
    DeltaHeader header; // both files' hashes and the new file's size
    uint64_t offset;    // where its delta lies in the scratch file
    uint64_t size;
};

struct DeltaSet {
    std::string scratchPath; // the deltas one after another; removed by DeltaSetRelease
    FILE* scratch = nullptr;
    std::vector<PackedDelta> deltas; // sorted by name
};

// A delta is kept when it takes at most this share of the file deflated.
constexpr double kDeltaShare = 0.5;

// Makes the deltas of the changed files in changes that exist in oldDir, keeping those that pay
// (kDeltaShare), in a scratch file at scratchPath. False, with the reason in *error, when a file
// cannot be read or the scratch file written.
bool MakeDeltas(const std::string& oldDir, const std::string& newDir, const TreeChanges& changes,
                const std::string& scratchPath, ProgressLine* progress, DeltaSet* set,
                std::string* error);
void DeltaSetRelease(DeltaSet* set);

// Adds the delta entry of delta to archive, deflated: its header, then its delta read from the
// scratch file through block. False when the scratch file cannot be read or the entry written.
bool AddDeltaEntry(zipFile archive, const DeltaSet& set, const PackedDelta& delta, char* block,
                   size_t blockSize);
