// The platform's high-resolution monotonic counter.
//
// Contract (every target):
//   PlatformCounterFrequency() returns the counter's ticks per second, always > 0.
//   PlatformCounterRead() returns the counter's current value in ticks. Values never decrease
//   within one process. Neither function fails or allocates; both may be called from any thread.
#pragma once

#include <cstdint>

int64_t PlatformCounterFrequency();
int64_t PlatformCounterRead();
