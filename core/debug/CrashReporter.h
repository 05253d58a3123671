// The crash reporter: one static object per program. Constructing it only fills the default
// paths; Install hooks the process's handling of fatal faults so that a crash leaves
// "<name>.txt" (and on Windows a minidump "<name>_dump.dmp") in the working directory, then
// lets the crash end the process as it would have without the reporter.
#pragma once

class CrashReporter {
public:
    CrashReporter();
    // Puts back the handling that was in place before Install (none if Install never ran).
    ~CrashReporter();
    CrashReporter(const CrashReporter&) = delete;
    CrashReporter& operator=(const CrashReporter&) = delete;

    // name is the file stem of the report and dump; a second call only renames them.
    void Install(const char* name);
};
