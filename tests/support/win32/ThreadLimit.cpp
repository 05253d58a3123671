#include "tests/support/ThreadLimit.h"

// Windows has no per-process address-space limit to set.
bool CanForbidNewThreads() {
    return false;
}

void ForbidNewThreads() {}
