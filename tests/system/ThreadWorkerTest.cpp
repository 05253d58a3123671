#include "core/system/ThreadWorker.h"

#include "core/platform/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Run holds until released or asked to stop, then takes a little longer, recording what it saw.
struct GatedWorker : ThreadWorker {
    void Prepare() override { ++prepares; }
    void Run() override {
        preparesSeenByRun = prepares;
        while (!release && !IsStopping())
            PlatformSleep(1);
        PlatformSleep(60);
        ++runsFinished;
    }
    std::atomic<int> prepares{0}, runsFinished{0};
    std::atomic<bool> release{false};
    int preparesSeenByRun = 0;
};

// A second Start waits for the first Run; Stop asks Run to end, waits and closes the thread.
TEST(ThreadWorker, StartPreparesThenRunsAndStopWaitsForRun) {
    GatedWorker worker;
    EXPECT_EQ(1, worker.Start(ThreadWorker::PriorityNormal));
    EXPECT_EQ(1, worker.prepares);
    EXPECT_TRUE(worker.IsRunning());
    worker.release = true;
    worker.Start(ThreadWorker::PriorityNormal);
    EXPECT_EQ(1, worker.runsFinished);
    worker.Stop();
    EXPECT_EQ(2, worker.runsFinished);
    EXPECT_EQ(2, worker.preparesSeenByRun);
    EXPECT_EQ(nullptr, worker.Thread());
    worker.release = false;
    worker.Start(ThreadWorker::PriorityNormal);
    worker.Stop();
    EXPECT_FALSE(worker.IsStopping());
}

} // namespace
