// Speed and time left of one transfer, averaged over its last few seconds so that they do not
// jump with every piece that arrives.
#pragma once

class TransferRate {
public:
    // A sample is kept every kSpanSeconds; the oldest of kSamples starts the average.
    static constexpr int kSamples = 16;
    static constexpr double kSpanSeconds = 0.25;
    // Shorter measurements give no speed: the first pieces say little about the rest.
    static constexpr double kFirstSeconds = 1.0;
    // A time left beyond this is no estimate anyone could use.
    static constexpr double kLongestSeconds = 360000.0;

    // Forgets every sample: the next transfer starts.
    void Restart() { count = 0; }
    // Takes the bytes done at seconds (any clock that does not go back). Fewer bytes than
    // before mean a new transfer: the measurement starts again.
    void Add(double seconds, double bytes);
    // Bytes a second over the samples kept; negative until kFirstSeconds are measured.
    double BytesPerSecond() const;
    // Seconds until totalBytes are done at that speed; negative while unknown: no total, no
    // speed yet, nothing arriving, or more than kLongestSeconds.
    double SecondsLeft(double totalBytes) const;

private:
    struct Sample {
        double seconds;
        double bytes;
    };
    const Sample& Oldest() const { return samples[(next + kSamples - count) % kSamples]; }

    Sample samples[kSamples];
    int next = 0;  // where the next sample goes
    int count = 0; // samples kept
    Sample latest = {0.0, 0.0};
};
