#include "core/debug/win32/CrashState.h"

#include <cstring>

namespace {

typedef BOOL(WINAPI* MiniDumpWriteDumpFunction)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION,
                                                PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);

// A debug-help library beside the executable is preferred: it may be newer than the system's.
HMODULE LoadDebugHelp() {
    static const char kName[] = "DBGHELP.DLL";
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = length > 0 && length < MAX_PATH ? strrchr(path, '\\') : nullptr;
    HMODULE library = nullptr;
    if (slash && size_t(slash + 1 - path) + sizeof kName <= sizeof path) {
        memcpy(slash + 1, kName, sizeof kName);
        library = LoadLibraryA(path);
    }
    return library ? library : LoadLibraryA(kName);
}

} // namespace

void CrashWriteDump(EXCEPTION_POINTERS* pointers, DWORD threadId) {
    HMODULE library = LoadDebugHelp();
    if (!library)
        return;
    const MiniDumpWriteDumpFunction writeDump = reinterpret_cast<MiniDumpWriteDumpFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "MiniDumpWriteDump")));
    if (!writeDump)
        return;
    SetFileAttributesA(crashState.dumpPath, FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(crashState.dumpPath, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    MINIDUMP_EXCEPTION_INFORMATION exception = {threadId, pointers, FALSE};
    writeDump(crashState.process, GetCurrentProcessId(), file, MiniDumpNormal, &exception, nullptr,
              nullptr);
    CloseHandle(file);
}
