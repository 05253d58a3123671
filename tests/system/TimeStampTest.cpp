#include "core/system/TimeStamp.h"

#include "core/platform/Clock.h"
#include "core/platform/Thread.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameTimer, NowDoesNotReadTheCounterAndSampleMovesIt) {
    TimerInit();
    const TimeStamp a = TimerNow();
    PlatformSleep(5);
    const TimeStamp b = TimerNow();
    EXPECT_EQ(a.Ticks(), b.Ticks());
    EXPECT_EQ(0.0f, (b - a).Seconds());

    TimerSample();
    const TimeStamp c = TimerNow();
    EXPECT_GT((c - a).Seconds(), 0.004f);
    EXPECT_LT((a - c).Seconds(), 0.0f);
}

TEST(FrameTimer, SecondsUseTheCounterFrequency) {
    TimerInit();
    const int64_t frequency = PlatformCounterFrequency();
    EXPECT_FLOAT_EQ(1.0f, TimeStamp(frequency).Seconds());
    EXPECT_FLOAT_EQ(-2.5f, TimeStamp(-frequency * 5 / 2).Seconds());
    // Differences are taken in 64 bits: large counter values do not lose ticks.
    const TimeStamp late(INT64_C(0x7000000000000000) + frequency);
    const TimeStamp early(INT64_C(0x7000000000000000));
    EXPECT_FLOAT_EQ(1.0f, (late - early).Seconds());
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
