#include "core/platform/Process.h"

#include <signal.h>
#include <spawn.h>

extern char** environ;

bool PlatformStartProgram(const char* path, const char* parameter) {
    // The launcher blocks its interrupts; the program it starts must not inherit that.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    sigset_t none, interrupts;
    sigemptyset(&none);
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    sigaddset(&interrupts, SIGHUP);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &interrupts);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    char* arguments[] = {const_cast<char*>(path), const_cast<char*>(parameter), nullptr};
    pid_t child;
    const int error = posix_spawn(&child, path, nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    return error == 0;
}
