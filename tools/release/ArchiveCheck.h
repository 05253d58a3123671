// Whether the launcher takes an update package: every entry read through the zip reader the
// launcher uses, its name, method, data, size and checksum checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ArchiveReport {
    bool readable = false;             // the zip reader opens it
    uint64_t entries = 0;              // entries walked
    uint64_t bytes = 0;                // their uncompressed sizes, as recorded
    std::vector<std::string> problems; // one line each, "NAME: reason"
};

// With oldDir, every delta entry is applied to its file there, as the launcher applies it to
// an installation, and its result checked.
ArchiveReport CheckArchive(const std::string& path, const std::string* oldDir = nullptr);
