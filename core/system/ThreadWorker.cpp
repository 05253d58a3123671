#include "core/system/ThreadWorker.h"

#include "core/platform/Thread.h"

namespace {
constexpr uint32_t kStopPollMilliseconds = 20;

int PriorityOf(int32_t mode) {
    switch (mode) {
    case ThreadWorker::PriorityLowest:
        return kThreadPriorityLowest;
    case ThreadWorker::PriorityHighest:
        return kThreadPriorityHighest;
    default:
        return kThreadPriorityNormal;
    }
}
} // namespace

void ThreadWorker::ThreadMain(void* argument) {
    ThreadWorker* worker = static_cast<ThreadWorker*>(argument);
    worker->Run();
    // Release: whoever sees running false also sees everything Run wrote.
    worker->running.store(false, std::memory_order_release);
}

int32_t ThreadWorker::Start(int32_t priorityMode) {
    Stop();
    Prepare();
    running.store(true, std::memory_order_release);
    thread = PlatformThreadCreateSuspended(kStackSize, ThreadMain, this);
    if (!thread) {
        // No thread will ever clear the flag; leaving it set would make Stop wait forever.
        running.store(false, std::memory_order_release);
        return -1;
    }
    PlatformThreadSetPriority(thread, PriorityOf(priorityMode));
    PlatformThreadSetIdealProcessor(thread, uint32_t(idealProcessor - 1));
    const int32_t resumed = PlatformThreadResume(thread);
    if (resumed < 0) {
        // The thread never runs; without the flag cleared Stop would wait for it forever.
        PlatformThreadClose(thread);
        thread = nullptr;
        running.store(false, std::memory_order_release);
    }
    return resumed;
}

void ThreadWorker::Stop() {
    stopping.store(true, std::memory_order_release);
    while (running.load(std::memory_order_acquire))
        PlatformSleep(kStopPollMilliseconds);
    if (thread) {
        PlatformThreadClose(thread);
        thread = nullptr;
    }
    stopping.store(false, std::memory_order_release);
}
