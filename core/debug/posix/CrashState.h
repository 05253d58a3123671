// The reporter's process-wide state and its Linux report.
#pragma once

#include <signal.h>
#include <ucontext.h>

struct CrashState {
    char reportPath[260];
    // The working directory and a slash, named in the report's first line.
    char symbolPath[260];
    // The executable, which the loader lists without a name.
    char programPath[260];
    int reportFile;
};

extern CrashState crashState;

// Writes the report of a fatal signal through reportFile. Runs in the signal handler: it
// allocates nothing and takes no locks of its own.
void CrashWriteReport(int signal, const siginfo_t* info, const ucontext_t* context);
