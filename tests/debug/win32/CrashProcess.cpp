#include "tests/debug/CrashProcess.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

const char kFirstRegister[] = "EAX:";
const bool kWritesMinidump = true;

std::string RunBesideThisProgram(const std::string& name, const std::vector<std::string>& args,
                                 const std::string& directory) {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return "not started";
    std::string program(self, length);
    program = program.substr(0, program.rfind('\\') + 1) + name + ".exe";
    std::string command = "\"" + program + "\"";
    for (const std::string& arg : args)
        command += " " + arg;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        NativeDirectory(directory).c_str(), &startup, &process))
        return "not started";
    CloseHandle(process.hThread);
    std::string outcome = "timeout";
    if (WaitForSingleObject(process.hProcess, 60 * 1000) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        char text[32];
        snprintf(text, sizeof text, "exit %lX", (unsigned long)code);
        outcome = text;
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    return outcome;
}

std::string NativeDirectory(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '/', '\\');
    return native + "\\";
}
