// From what the worker publishes to what a pass of the main loop shows: the phase (checking,
// each package's download, each package's apply), its counts, and a download's speed and time
// left.
#pragma once

#include "launcher/StatusText.h"
#include "launcher/TransferRate.h"

#include <cstdint>

// The worker's published values, as one pass reads them.
struct PublishedProgress {
    int32_t state;
    ProgressCounts counts;
    int32_t extractions; // packages whose extraction has ended
};

struct ShownProgress {
    int32_t state;  // the UpdaterState to show
    uint32_t phase; // a new number with every phase, also where the state repeats
    ProgressCounts counts;
    double bytesPerSecond; // of a download; negative while unknown
    double secondsLeft;    // of a download; negative while unknown
};

// Bytes done and in all (0 while unknown) of a download or an apply; false for other states.
bool PhaseBytes(const ShownProgress& shown, double* done, double* total);

class ProgressTracker {
public:
    // An apply phase, even one that ended between two passes, is shown at least this long
    // while the next download begins, so that a short one does not go by unseen. Its end is
    // shown for one pass before a final state.
    static constexpr double kApplyShownSeconds = 0.5;

    // What to show at seconds (a clock that does not go back) of published.
    ShownProgress Next(double seconds, const PublishedProgress& published);

private:
    TransferRate rate;
    int32_t shownState = -1;
    uint32_t phase = 0;
    int32_t extractions = 0;
    float downloaded = 0.0f;
    double applyUntil = 0.0;
};
