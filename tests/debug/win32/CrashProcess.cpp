#include "tests/debug/CrashProcess.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

const char kFirstRegister[] = "EAX:";
const bool kDebugHelp = true;

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
    // Wine's debugger prints each crash at length; the program and it write to nowhere.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nowhere = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nowhere;
    startup.hStdError = nowhere;
    PROCESS_INFORMATION process = {};
    const BOOL started =
        CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                       NativeDirectory(directory).c_str(), &startup, &process);
    if (nowhere != INVALID_HANDLE_VALUE)
        CloseHandle(nowhere);
    if (!started)
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
