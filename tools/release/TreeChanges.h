// What an update package must carry to turn one game directory into another.
#pragma once

#include "tools/release/ProgressLine.h"

#include <cstdint>
#include <string>
#include <vector>

struct PackedFile {
    std::string name; // relative, '/' separators
    uint64_t size;
};

struct TreeChanges {
    std::vector<PackedFile> files;      // new or changed by content, sorted by name
    std::vector<std::string> emptyDirs; // new empty directories, sorted
    std::vector<std::string> removed;   // files of the old tree missing from the new, sorted
};

// Compares the trees below oldDir and newDir by content. False, with the reason in *error,
// when a tree cannot be read, holds something other than files and directories, or asks for
// what a package cannot do: turn a file into a directory or back, or hold two names that
// differ only in case (one file on Windows).
bool CompareTrees(const std::string& oldDir, const std::string& newDir, TreeChanges* changes,
                  ProgressLine* progress, std::string* error);
