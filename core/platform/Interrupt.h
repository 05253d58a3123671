// The user's request to stop a program running on a console: Ctrl-C (and, on POSIX systems, a
// closed terminal or a polite kill).
//
// Contract:
//   PlatformInterruptCatch()
//       from now on an interrupt is recorded instead of ending the process. Call it on the main
//       thread before any other thread is started (POSIX: the signals are blocked, and threads
//       started afterwards inherit that).
//   PlatformInterruptWait(milliseconds)
//       waits at most that long for an interrupt or a wake; true when an interrupt arrived
//       during the wait or since the last call. Only the thread that called
//       PlatformInterruptCatch may wait.
//   PlatformInterruptWake()
//       from any thread, after PlatformInterruptCatch: ends the current (or the next) wait
//       early, without an interrupt.
#pragma once

#include <cstdint>

void PlatformInterruptCatch();
bool PlatformInterruptWait(uint32_t milliseconds);
void PlatformInterruptWake();
