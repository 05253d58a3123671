// The launcher's main loop and the start-up sequence that leads to it.
#pragma once

#include "core/system/TimeStamp.h"
#include "launcher/EntrySettings.h"

#include <atomic>
#include <cstdint>

class FrontEnd;
class Updater;

// Set when the user closed the window (or pressed Ctrl-C) and by the pass that started the
// next program; the loop ends after the pass that sees it.
extern std::atomic<bool> quitRequested;

// The longest a pass waits for input: one frame, short enough for the dots and counters to
// stay current, long enough that the main thread idles while the worker works.
constexpr uint32_t kFrameMilliseconds = 16;

// Passes until quitRequested: each advances the dots, shows the status of the updater's state
// (its line, the progress of the phase, a download's speed and time left) and pumps input,
// waiting at most frameWait milliseconds. The pass that shows a final state (one pass after
// the worker published it when an extraction ended unseen) clears the line, starts the next
// program with the start token and requests the quit.
// start is the stamp the first pass measures from.
void RunMainLoop(Updater& updater, const EntrySettings& settings, FrontEnd& frontEnd,
                 TimeStamp start, uint32_t frameWait);

// The whole launcher: paths, settings, the front end, the worker, the loop. Returns the exit
// code: 0, or 1 when the working directory is too long for the paths. A loop ended by the user
// while the worker still runs ends the process at once with 0 (a stalled server must not hold
// it, and the worker must not outlive its updater).
int LauncherMain(FrontEnd& frontEnd, uint32_t frameWait);
