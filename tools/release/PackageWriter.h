// Writing an update package: a zip archive of the new and changed files of a game directory,
// and of the files it no longer has.
#pragma once

#include "tools/release/DeltaWriter.h"
#include "tools/release/ProgressLine.h"
#include "tools/release/TreeChanges.h"

#include <string>

struct PackageSummary {
    uint64_t entries = 0;
    uint64_t stored = 0; // entries kept as they are because deflating would not shrink them
    uint64_t bytes = 0;  // uncompressed
};

// Writes the files and empty directories of changes, read below root, and the record of its
// removed files, into a new archive at zipPath (replaced when it exists). Each file is deflated, or
// stored when a deflated sample of it is no smaller; a file that deltas holds goes in as its
// delta entry instead. False, with the reason in *error and no archive left, on a read or write
// failure or a file that changed size while it was packed.
bool WritePackage(const std::string& zipPath, const std::string& root, const TreeChanges& changes,
                  ProgressLine* progress, PackageSummary* summary, std::string* error,
                  const DeltaSet* deltas = nullptr);
