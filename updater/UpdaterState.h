// What the updater is doing, as the main loop reads it. Aborted and Finished are final.
#pragma once

#include <cstdint>

enum UpdaterState : int32_t {
    Checking = 0,    // configuration, rights, list download and parsing, comparing versions
    Downloading = 1, // a package is being received
    Extracting = 2,  // a package is being stored and extracted
    Aborted = 3,     // the run ended before the update loop, after an error box
    Finished = 4,    // the update loop ran and "installed_updates" was written
};
