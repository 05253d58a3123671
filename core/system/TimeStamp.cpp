#include "core/system/TimeStamp.h"

#include "core/platform/Clock.h"

namespace {
double counterFrequency = 1.0;
TimeStamp currentSample(0);
} // namespace

void TimerInit() {
    counterFrequency = double(PlatformCounterFrequency());
    TimerSample();
}

void TimerSample() {
    currentSample = TimeStamp(PlatformCounterRead());
}

TimeStamp TimerNow() {
    return currentSample;
}

TimeStamp::TimeStamp(CounterTag) {
    TimerSample();
    ticks = currentSample.ticks;
}

float TimeStamp::Seconds() const {
    return float(double(ticks) / counterFrequency);
}

float TimeStamp::ElapsedSeconds() const {
    TimerSample();
    return (currentSample - *this).Seconds();
}
