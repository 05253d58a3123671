// One entry of the update list or of "installed_updates".
#pragma once

#include <vector>

struct UpdateRecord {
    static constexpr int kVersionSize = 32;
    static constexpr int kTextSize = 512;
    // One character more than the longest valid text, so that a longer one is noticed.
    static constexpr int kHashTextSize = 66; // 64 hex digits
    static constexpr int kSizeTextSize = 22; // 20 decimal digits

    char forVersion[kVersionSize]; // the installed version the package applies to
    char toVersion[kVersionSize];  // the version the installation has after it
    char name[kTextSize];          // kept, not used by the launcher
    char file[kTextSize];          // address of the package
    char sha256[kHashTextSize];    // the package's SHA-256 in hex; empty when not listed
    char size[kSizeTextSize];      // the package's bytes; empty when not listed
    // A smaller package for the same step that patches installed files, tried first; file is
    // what an installation whose files it does not fit takes instead. Empty when not listed.
    char delta[kTextSize];
    char deltaSha256[kHashTextSize];
    char deltaSize[kSizeTextSize];

    // Empties the texts; the rest of each buffer keeps its bytes.
    void Clear() {
        forVersion[0] = toVersion[0] = name[0] = file[0] = sha256[0] = size[0] = '\0';
        delta[0] = deltaSha256[0] = deltaSize[0] = '\0';
    }
};

typedef std::vector<UpdateRecord> UpdateList;
