#include "tests/support/ThreadLimit.h"

#include <sys/resource.h>

#include <cstdio>

bool CanForbidNewThreads() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#else
    return true;
#endif
}

void ForbidNewThreads() {
    unsigned long long kilobytes = 0;
    if (FILE* status = fopen("/proc/self/status", "r")) {
        char line[256];
        while (fgets(line, sizeof line, status) && sscanf(line, "VmSize: %llu", &kilobytes) != 1) {
        }
        fclose(status);
    }
    // Room for small allocations, none for a thread's stack.
    rlimit limit;
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = rlim_t(kilobytes * 1024 + 64 * 1024);
    setrlimit(RLIMIT_AS, &limit);
}
