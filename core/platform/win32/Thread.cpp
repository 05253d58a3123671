#include "core/platform/Thread.h"

#include <windows.h>

#include <new>

namespace {

struct Start {
    PlatformThreadEntry entry;
    void* argument;
};

DWORD WINAPI ThreadMain(LPVOID parameter) {
    Start start = *static_cast<Start*>(parameter);
    delete static_cast<Start*>(parameter);
    start.entry(start.argument);
    return 0;
}

HANDLE Native(PlatformThread* thread) {
    return reinterpret_cast<HANDLE>(thread);
}

} // namespace

PlatformThread* PlatformThreadCreateSuspended(uint32_t stackSize, PlatformThreadEntry entry,
                                              void* argument) {
    Start* start = new (std::nothrow) Start{entry, argument};
    if (!start)
        return nullptr;
    HANDLE handle = CreateThread(nullptr, stackSize, ThreadMain, start, CREATE_SUSPENDED, nullptr);
    if (!handle) {
        delete start;
        return nullptr;
    }
    return reinterpret_cast<PlatformThread*>(handle);
}

bool PlatformThreadSetPriority(PlatformThread* thread, int priority) {
    return SetThreadPriority(Native(thread), priority) != 0;
}

int PlatformThreadGetPriority(PlatformThread* thread) {
    return GetThreadPriority(Native(thread));
}

bool PlatformThreadSetIdealProcessor(PlatformThread* thread, uint32_t processor) {
    return SetThreadIdealProcessor(Native(thread), processor) != DWORD(-1);
}

int32_t PlatformThreadResume(PlatformThread* thread) {
    return int32_t(ResumeThread(Native(thread)));
}

void PlatformThreadClose(PlatformThread* thread) {
    if (thread)
        CloseHandle(Native(thread));
}

void PlatformSleep(uint32_t milliseconds) {
    Sleep(milliseconds);
}
