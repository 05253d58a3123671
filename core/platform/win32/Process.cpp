#include "core/platform/Process.h"

#include <windows.h>

#include <shellapi.h>

bool PlatformStartProgram(const char* path, const char* parameter) {
    const HINSTANCE result = ShellExecuteA(nullptr, nullptr, path, parameter, "", SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}
