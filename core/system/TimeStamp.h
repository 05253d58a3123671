// The frame timer: one process-wide sample of the high-resolution counter, refreshed only on
// request so that every reading within a frame sees the same instant. Main thread only.
#pragma once

#include <cstdint>

// A count of counter ticks: a point in time, or the span between two.
class TimeStamp {
public:
    enum CounterTag { FromCounter };

    TimeStamp() = default;
    explicit TimeStamp(int64_t ticks) : ticks(ticks) {}
    // Refreshes the process-wide sample and takes it.
    explicit TimeStamp(CounterTag);

    TimeStamp operator-(const TimeStamp& other) const { return TimeStamp(ticks - other.ticks); }
    int64_t Ticks() const { return ticks; }

    float Seconds() const;
    // Refreshes the process-wide sample and returns the seconds since this stamp.
    float ElapsedSeconds() const;

private:
    int64_t ticks;
};

// Reads the counter's frequency and takes a first sample; call once before any other timing.
void TimerInit();
// Refreshes the process-wide sample from the counter.
void TimerSample();
// The process-wide sample as it was last refreshed; does not read the counter.
TimeStamp TimerNow();
