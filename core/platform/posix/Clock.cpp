#include "core/platform/Clock.h"

#include <time.h>

// CLOCK_MONOTONIC in nanoseconds: the counter ticks once per nanosecond.
int64_t PlatformCounterFrequency() {
    return 1000000000;
}

int64_t PlatformCounterRead() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}
