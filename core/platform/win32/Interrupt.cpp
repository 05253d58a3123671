#include "core/platform/Interrupt.h"

#include <windows.h>

namespace {
HANDLE interrupted = nullptr;
HANDLE woken = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD) {
    SetEvent(interrupted);
    return TRUE;
}
} // namespace

void PlatformInterruptCatch() {
    if (!interrupted) {
        interrupted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        woken = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    }
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool PlatformInterruptWait(uint32_t milliseconds) {
    if (!interrupted) {
        Sleep(milliseconds);
        return false;
    }
    const HANDLE events[] = {interrupted, woken};
    return WaitForMultipleObjects(2, events, FALSE, milliseconds) == WAIT_OBJECT_0;
}

void PlatformInterruptWake() {
    if (woken)
        SetEvent(woken);
}
