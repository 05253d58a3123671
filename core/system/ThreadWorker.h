// Base class for an object whose work runs on a native thread of its own. Prepare runs on the
// starting thread just before the thread is created; Run is the work, on the new thread.
//
// The object must outlive its thread: the thread holds a plain pointer to it and clears
// `running` after Run returns. The destructor neither stops nor waits for the thread.
#pragma once

#include <atomic>
#include <cstdint>

struct PlatformThread;

class ThreadWorker {
public:
    // Every thread gets this stack, whatever the platform's default.
    static constexpr uint32_t kStackSize = 0x40000;

    // Priority modes of Start.
    enum { PriorityLowest = 0, PriorityNormal = 1, PriorityHighest = 2 };

    ThreadWorker() = default;
    virtual ~ThreadWorker() = default;
    ThreadWorker(const ThreadWorker&) = delete;
    ThreadWorker& operator=(const ThreadWorker&) = delete;

    // Waits for an earlier thread (Stop), calls Prepare, then starts Run on a new thread with
    // the mode's priority (0 lowest, 2 highest, anything else normal) and the ideal processor.
    // Returns the platform's resume result: the previous suspend count, or -1 when no thread
    // could be created or resumed; Run then never runs and IsRunning is false.
    int32_t Start(int32_t priorityMode);
    // Waits, in 20 ms steps and without a limit, until Run has returned; closes the handle.
    void Stop();

    bool IsRunning() const { return running.load(std::memory_order_acquire); }
    bool IsStopping() const { return stopping.load(std::memory_order_acquire); }
    // Counted from 1; takes effect at the next Start.
    void SetIdealProcessor(int32_t processor) { idealProcessor = processor; }
    // The last started thread until Stop closes it; null before.
    PlatformThread* Thread() const { return thread; }

protected:
    virtual void Prepare() = 0;
    virtual void Run() = 0;

private:
    static void ThreadMain(void* worker);

    std::atomic<bool> running{false};
    int32_t idealProcessor = 1;
    std::atomic<bool> stopping{false};
    PlatformThread* thread = nullptr;
};
