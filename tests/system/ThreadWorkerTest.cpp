#include "core/system/ThreadWorker.h"

#include "core/platform/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// A worker whose Run holds until released, recording what it saw.
class GatedWorker : public ThreadWorker {
public:
    std::atomic<int> prepares{0};
    std::atomic<int> runsStarted{0};
    std::atomic<int> runsFinished{0};
    std::atomic<bool> release{false};
    std::atomic<bool> sawStopping{false};
    int preparesSeenByRun = 0;

protected:
    void Prepare() override { ++prepares; }
    void Run() override {
        preparesSeenByRun = prepares;
        ++runsStarted;
        while (!release)
            PlatformSleep(1);
        PlatformSleep(60);
        sawStopping = IsStopping();
        ++runsFinished;
    }
};

void WaitUntil(const std::atomic<int>& value, int target) {
    while (value < target)
        PlatformSleep(1);
}

TEST(ThreadWorker, StartPreparesOnTheCallerThenRunsAndStopWaitsForRun) {
    GatedWorker worker;
    // Stop on a worker never started returns at once.
    worker.Stop();
    EXPECT_EQ(nullptr, worker.Thread());
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(0, worker.prepares);

    EXPECT_EQ(1, worker.Start(ThreadWorker::PriorityNormal));
    EXPECT_EQ(1, worker.prepares);
    EXPECT_TRUE(worker.IsRunning());
    WaitUntil(worker.runsStarted, 1);
    EXPECT_EQ(1, worker.preparesSeenByRun);

    worker.release = true;
    worker.Stop();
    // Stop returned only after Run did, and Run saw the stop request.
    EXPECT_EQ(1, worker.runsFinished);
    EXPECT_TRUE(worker.sawStopping);
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_FALSE(worker.IsStopping());
    EXPECT_EQ(nullptr, worker.Thread());
}

// The handle of a thread whose Run returned stays open until Stop.
TEST(ThreadWorker, SecondStartWaitsForTheFirstRunAndTheHandleStaysUntilStop) {
    GatedWorker worker;
    worker.Start(ThreadWorker::PriorityNormal);
    WaitUntil(worker.runsStarted, 1);
    worker.release = true;
    // The second Start must not Prepare or run again before the first Run has returned.
    worker.Start(ThreadWorker::PriorityNormal);
    EXPECT_EQ(1, worker.runsFinished);
    EXPECT_EQ(2, worker.prepares);
    while (worker.IsRunning())
        PlatformSleep(1);
    EXPECT_EQ(2, worker.runsFinished);
    EXPECT_EQ(2, worker.preparesSeenByRun);
    EXPECT_NE(nullptr, worker.Thread());
    worker.Stop();
    EXPECT_EQ(nullptr, worker.Thread());
}

} // namespace
