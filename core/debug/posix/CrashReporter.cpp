#include "core/debug/CrashReporter.h"

#include "core/debug/CrashText.h"
#include "core/debug/posix/CrashState.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>
#include <unwind.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

CrashState crashState = {"", "", "", -1};

namespace {

const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT};
const int kSignalCount = int(sizeof kSignals / sizeof kSignals[0]);
struct sigaction previousActions[kSignalCount];
bool installed;

// The handler runs here, so it still has a stack after a stack overflow. Only the thread that
// calls Install gets it: each thread has its own alternate stack.
alignas(16) char alternateStack[64 * 1024];

// Id of the thread whose report is being written, 0 when none is.
std::atomic<long> reportingThread{0};
// How long a second faulting thread waits for the first one's report.
const int kWaitSteps = 1000;

// Sets the report path inside the working directory (and the symbol path, when asked).
void SetPaths(const char* reportName, bool setSymbolPath) {
    char directory[259];
    if (!getcwd(directory, sizeof directory - 1))
        directory[0] = '\0';
    // Without a known directory the name stays relative to the working directory.
    const char* format = directory[0] ? "%s/%s" : "%s%s";
    char report[sizeof crashState.reportPath];
    const int length = snprintf(report, sizeof report, format, directory, reportName);
    if (length < 0 || length >= int(sizeof report))
        return;
    memcpy(crashState.reportPath, report, sizeof report);
    if (setSymbolPath)
        snprintf(crashState.symbolPath, sizeof crashState.symbolPath, "%s/", directory);
}

void WriteReport(int signal, const siginfo_t* info, void* context) {
    crashState.reportFile =
        open(crashState.reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (crashState.reportFile < 0)
        return;
    CrashPrint("\r\n");
    CrashWriteReport(signal, info, static_cast<const ucontext_t*>(context));
    close(crashState.reportFile);
    crashState.reportFile = -1;
}

// Puts the earlier handling of the signal back. A fault then happens again when the handler
// returns and meets it; a signal that was sent, not caused, is sent again.
void HandOver(int signal, const siginfo_t* info) {
    for (int i = 0; i < kSignalCount; ++i)
        if (kSignals[i] == signal)
            sigaction(signal, &previousActions[i], nullptr);
    if (info->si_code <= 0)
        raise(signal);
}

void Handler(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    const long self = syscall(SYS_gettid);
    long owner = 0;
    if (reportingThread.compare_exchange_strong(owner, self)) {
        WriteReport(signal, info, context);
        reportingThread = 0;
    } else if (owner != self) {
        const timespec step = {0, 10 * 1000 * 1000};
        for (int i = 0; i < kWaitSteps && reportingThread != 0; ++i)
            nanosleep(&step, nullptr);
    }
    // A fault inside the report itself (owner == self) goes straight to the earlier handling.
    HandOver(signal, info);
    errno = savedErrno;
}

_Unwind_Reason_Code CountFrame(_Unwind_Context*, void*) {
    return _URC_NO_REASON;
}

} // namespace

CrashReporter::CrashReporter() {
    SetPaths("crash.txt", true);
}

CrashReporter::~CrashReporter() {
    if (!installed)
        return;
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &previousActions[i], nullptr);
    installed = false;
}

void CrashReporter::Install(const char* name) {
    char reportName[sizeof crashState.reportPath];
    snprintf(reportName, sizeof reportName, "%s.txt", name);
    SetPaths(reportName, false);
    if (installed)
        return;
    installed = true;
    const ssize_t length =
        readlink("/proc/self/exe", crashState.programPath, sizeof crashState.programPath - 1);
    crashState.programPath[length > 0 ? length : 0] = '\0';
    // The unwinder sets itself up on first use; do that now, not in the handler.
    _Unwind_Backtrace(CountFrame, nullptr);
    stack_t current;
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
        stack_t stack = {};
        stack.ss_sp = alternateStack;
        stack.ss_size = sizeof alternateStack;
        sigaltstack(&stack, nullptr);
    }
    struct sigaction action = {};
    action.sa_sigaction = Handler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &action, &previousActions[i]);
}
