// What the main loop makes of the worker's counts: the smoothed speed and time left, the phases
// (a short apply included) and the studio's speed text.
#include "launcher/ProgressTracker.h"
#include "launcher/StatusText.h"
#include "launcher/TransferRate.h"
#include "updater/UpdaterState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace {

constexpr double kMegabyte = 1048576.0;

// Pieces of 256 KB at uneven moments, about 1 MB a second, read at every 16 ms frame: the
// speed does not jump with the pieces, and is given only after a second.
TEST(TransferRateTest, SmoothsUnevenPiecesAndKnowsWhenItCannotTell) {
    TransferRate rate;
    double bytes = 0.0, lowest = 1e30, highest = 0.0;
    for (int frame = 0; frame < 600; ++frame) {
        const double seconds = frame * 0.016;
        // A piece now and then: two close together, then a gap.
        if (frame % 16 == 0 || frame % 16 == 3)
            bytes += 0.128 * kMegabyte;
        rate.Add(seconds, bytes);
        if (seconds < TransferRate::kFirstSeconds - 0.02) {
            EXPECT_GT(0.0, rate.BytesPerSecond()) << seconds;
        }
        if (seconds >= 2.0) {
            lowest = std::min(lowest, rate.BytesPerSecond());
            highest = std::max(highest, rate.BytesPerSecond());
        }
    }
    EXPECT_NEAR(1.0, lowest / kMegabyte, 0.1);
    EXPECT_NEAR(1.0, highest / kMegabyte, 0.1);
    EXPECT_NEAR(highest / lowest, 1.0, 0.15);
    const double speed = rate.BytesPerSecond();
    EXPECT_NEAR((20 * kMegabyte - bytes) / speed, rate.SecondsLeft(20 * kMegabyte), 1e-6);
    EXPECT_EQ(0.0, rate.SecondsLeft(bytes / 2)); // done already
    EXPECT_GT(0.0, rate.SecondsLeft(0.0));       // no total
    // A stall: after the window of samples nothing arrived, so there is no time left to give.
    for (double seconds = 9.6; seconds < 15.0; seconds += 0.016)
        rate.Add(seconds, bytes);
    EXPECT_EQ(0.0, rate.BytesPerSecond());
    EXPECT_GT(0.0, rate.SecondsLeft(20 * kMegabyte));
    // Fewer bytes: a new transfer, measured afresh.
    rate.Add(15.0, 1000.0);
    rate.Add(15.5, 2000.0);
    EXPECT_GT(0.0, rate.BytesPerSecond());
    // Far too slow for an estimate.
    rate.Add(16.5, 2001.0);
    EXPECT_LT(0.0, rate.BytesPerSecond());
    EXPECT_GT(0.0, rate.SecondsLeft(1e12));
}

// The passes see: the check, a package's download, its apply only after it ended (between two
// passes), the next download, a second apply seen as it runs, then the end. The missed apply
// is shown for a moment (its counts stay as the extraction left them), the second one's end for
// a pass before the end, and every phase gets a number of its own.
TEST(ProgressTrackerTest, ShowsAnApplyThePassesMissedAndNumbersThePhases) {
    ProgressTracker tracker;
    const ProgressCounts first{3.0f, 4.0f, 0.0f, 0.0f};
    const ProgressCounts applied{1.0f, 4.0f, 6.0f, 6.0f};
    // Seconds, the published state, counts and extractions; the state and phase shown.
    const std::tuple<double, int32_t, ProgressCounts, int32_t, int32_t, uint32_t> passes[] = {
        {0.0, Checking, {}, 0, Checking, 1},
        {0.1, Downloading, {1.0f, 4.0f, 0.0f, 0.0f}, 0, Downloading, 2},
        {0.2, Downloading, first, 0, Downloading, 2},
        {0.3, Downloading, applied, 1, Extracting, 3},
        {0.7, Downloading, applied, 1, Extracting, 3},
        {0.81, Downloading, applied, 1, Downloading, 4},
        {0.9, Extracting, {4.0f, 4.0f, 1.0f, 6.0f}, 1, Extracting, 5},
        {1.0, Finished, {4.0f, 4.0f, 6.0f, 6.0f}, 2, Extracting, 5},
        {1.01, Finished, {4.0f, 4.0f, 6.0f, 6.0f}, 2, Finished, 6},
    };
    for (const auto& [seconds, state, counts, extractions, shownState, phase] : passes) {
        const ShownProgress shown = tracker.Next(seconds, {state, counts, extractions});
        EXPECT_EQ(shownState, shown.state) << seconds;
        EXPECT_EQ(phase, shown.phase) << seconds;
    }
    // A new download (fewer bytes than before) is a new phase, even where no pass saw an
    // apply in between.
    EXPECT_EQ(7u, tracker.Next(2.0, {Downloading, {4.0f, 4.0f, 0, 0}, 2}).phase);
    EXPECT_EQ(8u, tracker.Next(2.1, {Downloading, {1.0f, 4.0f, 0, 0}, 2}).phase);
}

// The studio's speed text takes megabytes a second, minutes and seconds left; a format that
// could read what was not passed is shown as it stands, an unknown time left shows nothing.
TEST(StatusTextTest, SpeedTextFormatsThreeNumbersOrStaysText) {
    const std::tuple<const char*, double, std::string> cases[] = {
        {" (%.1f MB/s, %.0f:%02.0f left)", 125.2, " (2.5 MB/s, 2:06 left)"},
        {"%.1f MB/s", 0.0, "2.5 MB/s"},
        {"%.1f MB/s", -1.0, ""},
        {"", 30.0, ""},
        {"%s %n", 30.0, "%s %n"},
        {"%f %f %f %f", 30.0, "%f %f %f %f"},
        {"%*f", 30.0, "%*f"},
        // The widest a format may ask for fills the line and no more.
        {"%999.1f%999.1f%999.1f", 30.0, std::string(127, ' ')},
    };
    for (const auto& [format, secondsLeft, expected] : cases) {
        char text[kStatusSize];
        FormatSpeed(text, format, 2.5 * kMegabyte, secondsLeft);
        EXPECT_EQ(expected, text) << format;
    }
    EXPECT_EQ(2, NumberConversions("%.1f of %5.1lf%% MB"));
    EXPECT_EQ(-1, NumberConversions("%d"));
}

} // namespace
