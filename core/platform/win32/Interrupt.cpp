#include "core/platform/Interrupt.h"

#include <windows.h>

namespace {
HANDLE interrupted = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD) {
    SetEvent(interrupted);
    return TRUE;
}
} // namespace

void PlatformInterruptCatch() {
    if (!interrupted)
        interrupted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool PlatformInterruptWait(uint32_t milliseconds) {
    if (!interrupted) {
        Sleep(milliseconds);
        return false;
    }
    return WaitForSingleObject(interrupted, milliseconds) == WAIT_OBJECT_0;
}
