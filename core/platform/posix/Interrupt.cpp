#include "core/platform/Interrupt.h"

#include <pthread.h>
#include <signal.h>
#include <time.h>

namespace {

pthread_t waiter;

sigset_t Signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGUSR1); // the wake
    return set;
}

} // namespace

// Blocked signals stay pending until sigtimedwait takes them, so no handler runs at an
// arbitrary point of another thread.
void PlatformInterruptCatch() {
    waiter = pthread_self();
    const sigset_t set = Signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool PlatformInterruptWait(uint32_t milliseconds) {
    const sigset_t set = Signals();
    const timespec timeout{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    const int taken = sigtimedwait(&set, nullptr, &timeout);
    return taken > 0 && taken != SIGUSR1;
}

void PlatformInterruptWake() {
    pthread_kill(waiter, SIGUSR1);
}
