#include "core/platform/Terminal.h"

#include <io.h>
#include <windows.h>

bool PlatformIsTerminal(FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

int PlatformTerminalColumns(FILE* stream) {
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (handle == -1 || !GetConsoleScreenBufferInfo(reinterpret_cast<HANDLE>(handle), &info))
        return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}
