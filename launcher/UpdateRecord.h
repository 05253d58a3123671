// One entry of the update list or of "installed_updates".
#pragma once

#include <vector>

struct UpdateRecord {
    static constexpr int kVersionSize = 32;
    static constexpr int kTextSize = 512;

    char forVersion[kVersionSize]; // the installed version the package applies to
    char toVersion[kVersionSize];  // the version the installation has after it
    char name[kTextSize];          // kept, not used by the launcher
    char file[kTextSize];          // address of the package

    // Empties the four texts; the rest of each buffer keeps its bytes.
    void Clear() { forVersion[0] = toVersion[0] = name[0] = file[0] = '\0'; }
};

typedef std::vector<UpdateRecord> UpdateList;
