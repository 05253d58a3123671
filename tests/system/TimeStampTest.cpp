#include "core/system/TimeStamp.h"

#include "core/platform/Clock.h"
#include "core/platform/Thread.h"

#include <gtest/gtest.h>

namespace {

// Readings within a frame see one instant: only the sampling calls read the counter.
TEST(FrameTimer, OnlySamplingReadsTheCounter) {
    TimerInit();
    const TimeStamp init = TimerNow();
    EXPECT_LT(TimeStamp(PlatformCounterRead() - init.Ticks()).Seconds(), 1.0f);
    PlatformSleep(5);
    EXPECT_EQ(init.Ticks(), TimerNow().Ticks());
    TimerSample();
    const TimeStamp sampled = TimerNow();
    EXPECT_GT((sampled - init).Seconds(), 0.004f);
    PlatformSleep(2);
    const TimeStamp start(TimeStamp::FromCounter);
    EXPECT_GT(start.Ticks(), sampled.Ticks());
    EXPECT_EQ(start.Ticks(), TimerNow().Ticks());
    PlatformSleep(10);
    EXPECT_GE(start.ElapsedSeconds(), 0.009f);
}

} // namespace
