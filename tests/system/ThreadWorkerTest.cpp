#include "core/system/ThreadWorker.h"

#include "core/platform/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Run holds until released, then takes a little longer, recording what it saw.
struct GatedWorker : ThreadWorker {
    void Prepare() override { ++prepares; }
    void Run() override {
        preparesSeenByRun = prepares;
        while (!release)
            PlatformSleep(1);
        PlatformSleep(60);
        sawStopping = IsStopping();
        ++runsFinished;
    }
    std::atomic<int> prepares{0}, runsFinished{0};
    std::atomic<bool> release{false}, sawStopping{false};
    int preparesSeenByRun = 0;
};

// A second Start waits for the first Run; a finished Run's handle stays open until Stop.
TEST(ThreadWorker, StartPreparesThenRunsAndStopWaitsForRun) {
    GatedWorker worker;
    EXPECT_EQ(1, worker.Start(ThreadWorker::PriorityNormal));
    EXPECT_EQ(1, worker.prepares);
    EXPECT_TRUE(worker.IsRunning());
    worker.release = true;
    worker.Start(ThreadWorker::PriorityNormal);
    EXPECT_EQ(1, worker.runsFinished);
    EXPECT_TRUE(worker.sawStopping);
    EXPECT_EQ(2, worker.prepares);
    while (worker.IsRunning())
        PlatformSleep(1);
    EXPECT_EQ(2, worker.runsFinished);
    EXPECT_EQ(2, worker.preparesSeenByRun);
    EXPECT_NE(nullptr, worker.Thread());
    worker.Stop();
    EXPECT_FALSE(worker.IsStopping());
    EXPECT_EQ(nullptr, worker.Thread());
}

} // namespace
