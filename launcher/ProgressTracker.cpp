#include "launcher/ProgressTracker.h"

#include "updater/UpdaterState.h"

ShownProgress ProgressTracker::Next(double seconds, const PublishedProgress& published) {
    int32_t state = published.state;
    const bool extractionEnded = published.extractions != extractions;
    extractions = published.extractions;
    // The apply counts stay as the extraction left them until the next one starts. An ended
    // extraction is shown at them for one pass even when the run is over.
    if (state != Extracting && (extractionEnded || (state == Downloading && seconds < applyUntil)))
        state = Extracting;
    const bool newPhase =
        state != shownState || (state == Downloading && published.counts.downloadNow < downloaded);
    if (newPhase) {
        ++phase;
        rate.Restart();
        if (state == Extracting)
            applyUntil = seconds + kApplyShownSeconds;
    }
    shownState = state;
    downloaded = published.counts.downloadNow;

    ShownProgress shown{state, phase, published.counts, -1.0, -1.0};
    if (state == Downloading) {
        rate.Add(seconds, published.counts.downloadNow);
        shown.bytesPerSecond = rate.BytesPerSecond();
        shown.secondsLeft = rate.SecondsLeft(published.counts.downloadTotal);
    }
    return shown;
}

bool PhaseBytes(const ShownProgress& shown, double* done, double* total) {
    const bool download = shown.state == Downloading;
    *done = download ? shown.counts.downloadNow : shown.counts.extracted;
    *total = download ? shown.counts.downloadTotal : shown.counts.extractTotal;
    return download || shown.state == Extracting;
}
