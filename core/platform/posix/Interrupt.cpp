#include "core/platform/Interrupt.h"

#include <pthread.h>
#include <signal.h>
#include <time.h>

namespace {
sigset_t Interrupts() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}
} // namespace

// Blocked signals stay pending until sigtimedwait takes them, so no handler runs at an
// arbitrary point of another thread.
void PlatformInterruptCatch() {
    const sigset_t set = Interrupts();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool PlatformInterruptWait(uint32_t milliseconds) {
    const sigset_t set = Interrupts();
    const timespec timeout{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    return sigtimedwait(&set, nullptr, &timeout) > 0;
}
