#include "tests/support/HostProgram.h"

#include <windows.h>

#include <string>

bool RunHostProgram(const std::string& program, const std::vector<std::string>& args,
                    const std::string& dir) {
    // Wine's own export; it maps the Linux path to a drive of the prefix.
    typedef WCHAR*(CDECL * ToDosName)(const char*);
    const auto toDos = reinterpret_cast<ToDosName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    WCHAR* dosName = toDos ? toDos(program.c_str()) : nullptr;
    if (!dosName)
        return false;
    std::wstring commandLine = L"\"" + std::wstring(dosName) + L"\"";
    for (const std::string& arg : args)
        commandLine += L" \"" + std::wstring(arg.begin(), arg.end()) + L"\"";
    const std::wstring directory(dir.begin(), dir.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(dosName, &commandLine[0], nullptr, nullptr, FALSE, 0,
                                        nullptr, directory.c_str(), &startup, &process);
    HeapFree(GetProcessHeap(), 0, dosName);
    // A Linux program comes without handles.
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
    return started != FALSE;
}
