// Native threads that start suspended, as the worker-thread class needs them.
//
// Contract (every target):
//   PlatformThreadCreateSuspended(stackSize, entry, argument)
//       creates a thread that will call entry(argument) once resumed, with a stack of at least
//       stackSize bytes. Returns an opaque handle owned by the caller, or null on failure.
//       The thread does not run before PlatformThreadResume.
//   PlatformThreadSetPriority(handle, priority)
//       priority is one of the kThreadPriority* values; call it before resuming. Returns true
//       when the system took it. Linux applies it as the thread's nice value when the thread is
//       resumed, best effort (a raise needs privileges), and returns true.
//   PlatformThreadGetPriority(handle)
//       the system's answer on Windows; on Linux the priority last requested (normal at first).
//   PlatformThreadSetIdealProcessor(handle, processor)
//       a scheduling hint, processor counted from 0. Returns true when the system took it.
//   PlatformThreadResume(handle)
//       lets a suspended thread run. Returns the previous suspend count (1 for a fresh thread,
//       0 when it already ran), or -1 on failure.
//   PlatformThreadClose(handle)
//       releases the handle. It neither waits for nor stops the thread; a thread that was never
//       resumed never calls entry. A null handle is ignored.
//   PlatformSleep(milliseconds)
//       blocks the calling thread for at least that long.
// Handles may be used from any thread, but one handle is not meant to be closed twice.
#pragma once

#include <cstdint>

struct PlatformThread;
typedef void (*PlatformThreadEntry)(void* argument);

enum {
    kThreadPriorityLowest = -2,
    kThreadPriorityNormal = 0,
    kThreadPriorityHighest = 2,
};

PlatformThread* PlatformThreadCreateSuspended(uint32_t stackSize, PlatformThreadEntry entry,
                                              void* argument);
bool PlatformThreadSetPriority(PlatformThread* thread, int priority);
int PlatformThreadGetPriority(PlatformThread* thread);
bool PlatformThreadSetIdealProcessor(PlatformThread* thread, uint32_t processor);
int32_t PlatformThreadResume(PlatformThread* thread);
void PlatformThreadClose(PlatformThread* thread);
void PlatformSleep(uint32_t milliseconds);
