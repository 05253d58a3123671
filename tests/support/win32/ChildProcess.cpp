#include "tests/support/ChildProcess.h"

#include <windows.h>

#include <algorithm>
#include <chrono>

const int kCloseDelayMilliseconds = 2500;

namespace {

struct Search {
    DWORD process;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM parameter) {
    Search* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64];
    if (owner == search->process && GetClassNameA(window, name, sizeof name) &&
        lstrcmpA(name, search->className) == 0 && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> WindowsOf(int process, const char* className) {
    Search search{DWORD(process), className, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A Linux path as Wine's drive of the whole file system names it (Wine's own export).
std::wstring WindowsName(const std::string& path) {
    typedef WCHAR*(CDECL * ToDosName)(const char*);
    const auto toDos = reinterpret_cast<ToDosName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    WCHAR* dosName = path[0] == '/' && toDos ? toDos(path.c_str()) : nullptr;
    if (!dosName)
        return std::wstring(path.begin(), path.end());
    const std::wstring name(dosName);
    HeapFree(GetProcessHeap(), 0, dosName);
    return name;
}

HANDLE Inherited(const std::string& path) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0,
                       nullptr);
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::string& directory,
                           const std::vector<std::string>& args) {
    const std::wstring name = WindowsName(program), dir(directory.begin(), directory.end());
    std::wstring commandLine = L"\"" + name + L"\"";
    for (const std::string& arg : args)
        commandLine += L" \"" + std::wstring(arg.begin(), arg.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = Inherited(files / "out");
    startup.hStdError = Inherited(files / "err");
    PROCESS_INFORMATION info{};
    started = CreateProcessW(name.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                             dir.c_str(), &startup, &info) != 0;
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    // A Linux program comes without handles.
    if (info.hThread)
        CloseHandle(info.hThread);
    process = info.hProcess;
    id = int(info.dwProcessId);
}

ChildProcess::~ChildProcess() {
    if (process && !ended)
        TerminateProcess(process, 1);
    if (process)
        CloseHandle(process);
}

void ChildProcess::Kill() {
    if (process && !ended) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, INFINITE);
        ended = true;
    }
}

void SetChildEnvironment(const char* name, const char* value) {
    SetEnvironmentVariableA(name, value);
}

// A box is a dialog of the standard class whose text sits in the static control 0xFFFF.
void ChildProcess::AnswerBoxes() {
    for (HWND box : WindowsOf(id, "#32770")) {
        if (std::find(answered.begin(), answered.end(), box) != answered.end())
            continue;
        answered.push_back(box);
        char caption[256] = "", text[256] = "";
        GetWindowTextA(box, caption, sizeof caption);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        boxes.push_back(std::string(caption) + ": " + text);
        SendMessageA(box, WM_COMMAND, IDOK, 0);
    }
}

bool ChildProcess::Wait(int timeoutMilliseconds, int* exitCode) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (process && !ended) {
        AnswerBoxes();
        if (WaitForSingleObject(process, 20) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process, &code);
            ended = true;
            *exitCode = int(code);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    }
    return false;
}

void ChildProcess::Close() {
    for (HWND window : WindowsOf(id, "ZEdaroDozaza"))
        PostMessageA(window, WM_CLOSE, 0, 0);
}

std::vector<void*> ChildProcess::Windows(const char* className) const {
    const std::vector<HWND> found = WindowsOf(id, className);
    return std::vector<void*>(found.begin(), found.end());
}

std::vector<std::string> ChildProcess::Boxes() const {
    return boxes;
}
