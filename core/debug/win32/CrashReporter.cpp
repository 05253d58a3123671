#include "core/debug/CrashReporter.h"

#include "core/debug/CrashText.h"
#include "core/debug/win32/CrashState.h"

#include <cstdio>
#include <cstring>

CrashState crashState;

namespace {

// The report is written on a thread of its own, started by Install: the faulting thread may
// have no stack left (a stack overflow), and a fault inside the reporter then ends only that
// thread.
const DWORD kReporterStack = 1024 * 1024;
// A report that takes longer than this is given up, so a crash never hangs the process.
const DWORD kReportTimeout = 60 * 1000;

HANDLE reporterThread;
DWORD reporterThreadId;
HANDLE reportStart;
HANDLE reportDone;
EXCEPTION_POINTERS* pendingPointers;
DWORD pendingThreadId;
// Id of the thread whose report is being written, 0 when none is.
volatile LONG reportingThreadId;

// Sets the paths of the dump and the report inside the working directory (and the symbol
// path, when asked); false when they do not fit.
bool SetPaths(const char* dumpName, const char* reportName, bool setSymbolPath) {
    char directory[MAX_PATH - 1];
    const DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory)
        directory[0] = '\0';
    // Without a known directory the names stay relative to the working directory.
    const char* format = directory[0] ? "%s\\%s" : "%s%s";
    char dump[MAX_PATH];
    char report[MAX_PATH];
    const int dumpLength = snprintf(dump, sizeof dump, format, directory, dumpName);
    const int reportLength = snprintf(report, sizeof report, format, directory, reportName);
    if (dumpLength < 0 || dumpLength >= int(sizeof dump) || reportLength < 0 ||
        reportLength >= int(sizeof report))
        return false;
    memcpy(crashState.dumpPath, dump, sizeof dump);
    memcpy(crashState.reportPath, report, sizeof report);
    if (setSymbolPath)
        snprintf(crashState.symbolPath, sizeof crashState.symbolPath, "%s\\", directory);
    return true;
}

void WriteFiles(EXCEPTION_POINTERS* pointers, DWORD threadId) {
    CrashWriteDump(pointers, threadId);
    // Made anew each time, so the report always starts with an empty line.
    HANDLE file = CreateFileA(crashState.reportPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    crashState.reportFile = file;
    CrashPrint("\r\n");
    HANDLE thread = OpenThread(THREAD_ALL_ACCESS, FALSE, threadId);
    CrashWriteReport(pointers, thread ? thread : GetCurrentThread());
    if (thread)
        CloseHandle(thread);
    crashState.reportFile = nullptr;
    CloseHandle(file);
}

DWORD WINAPI ReporterMain(LPVOID) {
    for (;;) {
        WaitForSingleObject(reportStart, INFINITE);
        WriteFiles(pendingPointers, pendingThreadId);
        SetEvent(reportDone);
    }
}

void StartReporter() {
    reportStart = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    reportDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (reportStart && reportDone)
        reporterThread = CreateThread(nullptr, kReporterStack, ReporterMain, nullptr,
                                      STACK_SIZE_PARAM_IS_A_RESERVATION, &reporterThreadId);
}

// Has the reporter thread write the files and waits for it. A reporter that faulted or did
// not finish in time is stopped; the report keeps what it had written.
void WriteOnReporter(EXCEPTION_POINTERS* pointers) {
    pendingPointers = pointers;
    pendingThreadId = GetCurrentThreadId();
    SetEvent(reportStart);
    HANDLE waits[] = {reportDone, reporterThread};
    if (WaitForMultipleObjects(2, waits, FALSE, kReportTimeout) == WAIT_OBJECT_0)
        return;
    TerminateThread(reporterThread, 1);
    CloseHandle(reporterThread);
    reporterThread = nullptr;
    if (crashState.reportFile) {
        CloseHandle(crashState.reportFile);
        crashState.reportFile = nullptr;
    }
}

LONG HandOver(EXCEPTION_POINTERS* pointers) {
    return crashState.previousFilter ? crashState.previousFilter(pointers)
                                     : EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers) {
    const LONG self = LONG(GetCurrentThreadId());
    if (reporterThread && DWORD(self) == reporterThreadId)
        ExitThread(1);
    // One report at a time: a second faulting thread waits for the first report.
    LONG owner;
    while ((owner = InterlockedCompareExchange(&reportingThreadId, self, 0)) != 0) {
        // A fault while this thread wrote its own report without a reporter thread.
        if (owner == self)
            return HandOver(pointers);
        Sleep(10);
    }
    if (reporterThread)
        WriteOnReporter(pointers);
    else
        WriteFiles(pointers, DWORD(self));
    InterlockedExchange(&reportingThreadId, 0);
    return HandOver(pointers);
}

} // namespace

CrashReporter::CrashReporter() {
    SetPaths("crush_dump.dmp", "crash.txt", true);
}

CrashReporter::~CrashReporter() {
    if (crashState.process)
        SetUnhandledExceptionFilter(crashState.previousFilter);
}

void CrashReporter::Install(const char* name) {
    const LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(CrashFilter);
    // Installed twice, the earlier filter must stay the one handed over to.
    if (previous != CrashFilter)
        crashState.previousFilter = previous;
    crashState.process = GetCurrentProcess();
    if (!reporterThread)
        StartReporter();
    char dumpName[MAX_PATH];
    char reportName[MAX_PATH];
    snprintf(dumpName, sizeof dumpName, "%s_dump.dmp", name);
    snprintf(reportName, sizeof reportName, "%s.txt", name);
    SetPaths(dumpName, reportName, false);
}
