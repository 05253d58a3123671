#include "core/system/TimeStamp.h"

#include "core/platform/Clock.h"
#include "core/platform/Thread.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameTimer, InitSamplesNowDoesNotReadTheCounterAndSampleMovesIt) {
    TimerInit();
    const TimeStamp a = TimerNow();
    EXPECT_LT(TimeStamp(PlatformCounterRead() - a.Ticks()).Seconds(), 1.0f);
    PlatformSleep(5);
    const TimeStamp b = TimerNow();
    EXPECT_EQ(a.Ticks(), b.Ticks());
    EXPECT_EQ(0.0f, (b - a).Seconds());

    TimerSample();
    const TimeStamp c = TimerNow();
    EXPECT_GT((c - a).Seconds(), 0.004f);
    EXPECT_LT((a - c).Seconds(), 0.0f);
}

TEST(FrameTimer, StampFromCounterAndElapsedRefreshTheSample) {
    TimerInit();
    const TimeStamp before = TimerNow();
    PlatformSleep(2);
    const TimeStamp start(TimeStamp::FromCounter);
    EXPECT_GT(start.Ticks(), before.Ticks());
    EXPECT_EQ(start.Ticks(), TimerNow().Ticks());
    PlatformSleep(10);
    EXPECT_GE(start.ElapsedSeconds(), 0.009f);
    EXPECT_GT(TimerNow().Ticks(), start.Ticks());
}

} // namespace
