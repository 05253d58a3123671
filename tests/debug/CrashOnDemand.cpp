// crash_on_demand access|divide|illegal|overflow|worker [install]: the reporter's test program.
#include "core/debug/CrashReporter.h"
#include "core/platform/Thread.h"

#include <cstring>

// Constructed like the launcher's; only Install makes it report.
static CrashReporter crashReporter;

// Globals of the crashing program, for the report's global listing.
const char* crashMessage = "crash on demand";
struct CrashPlace {
    int line;
    double weight;
    const char* file;
} crashPlace = {42, 0.5, "CrashOnDemand.cpp"};
// Points nowhere readable: the report must print it as a number.
const char* danglingText = reinterpret_cast<const char*>(16);
volatile int zero = 0;
volatile int* volatile nowhere = nullptr;
// Never reached; keeps the recursion from looking endless to the compiler.
volatile int recursionEnd = -1;

// External names, so that symbols for them exist on every target.
__attribute__((noinline)) void CrashAccessViolation(const char* reason) {
    *nowhere = int(strlen(reason));
}

// The divisor is a local on the stack, which the report finds relative to a register.
__attribute__((noinline)) int CrashDivideByZero(int dividend) {
    volatile int divisor = zero;
    return dividend / divisor;
}

__attribute__((noinline)) void CrashIllegalInstruction() {
    __builtin_trap();
}

__attribute__((noinline)) int CrashStackOverflow(int depth) {
    volatile char block[1024];
    block[depth % sizeof block] = char(depth);
    if (depth == recursionEnd)
        return 0;
    return CrashStackOverflow(depth + 1) + block[0];
}

__attribute__((noinline)) void CrashOnWorker(void* reason) {
    *nowhere = int(strlen(static_cast<const char*>(reason)));
}

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[2], "install") == 0)
        crashReporter.Install("crash_test");
    const char* fault = argc > 1 ? argv[1] : "";
    if (strcmp(fault, "access") == 0)
        CrashAccessViolation(crashMessage);
    if (strcmp(fault, "divide") == 0)
        return CrashDivideByZero(argc);
    if (strcmp(fault, "illegal") == 0)
        CrashIllegalInstruction();
    if (strcmp(fault, "overflow") == 0)
        return CrashStackOverflow(0);
    if (strcmp(fault, "worker") == 0) {
        // The worker thread's stack size, as the launcher's worker has it.
        PlatformThread* worker = PlatformThreadCreateSuspended(256 * 1024, CrashOnWorker,
                                                               const_cast<char*>(crashMessage));
        if (!worker || PlatformThreadResume(worker) < 0)
            return 3;
        PlatformSleep(60 * 1000);
    }
    return 100; // no crash: a crashed process never ends with this code
}
