#include "launcher/TransferRate.h"

void TransferRate::Add(double seconds, double bytes) {
    if (count > 0 && bytes < latest.bytes)
        count = 0;
    latest = {seconds, bytes};
    const Sample& newest = samples[(next + kSamples - 1) % kSamples];
    if (count > 0 && seconds - newest.seconds < kSpanSeconds)
        return;
    samples[next] = latest;
    next = (next + 1) % kSamples;
    if (count < kSamples)
        ++count;
}

double TransferRate::BytesPerSecond() const {
    if (count == 0)
        return -1.0;
    const Sample& oldest = Oldest();
    const double span = latest.seconds - oldest.seconds;
    return span < kFirstSeconds ? -1.0 : (latest.bytes - oldest.bytes) / span;
}

double TransferRate::SecondsLeft(double totalBytes) const {
    const double speed = BytesPerSecond();
    if (totalBytes <= 0.0 || speed <= 0.0)
        return -1.0;
    const double left = totalBytes > latest.bytes ? (totalBytes - latest.bytes) / speed : 0.0;
    return left > kLongestSeconds ? -1.0 : left;
}
