#include "tools/release/ProgressLine.h"

namespace {
constexpr auto kInterval = std::chrono::milliseconds(200);
} // namespace

void ProgressLine::AddBytes(uint64_t count) {
    bytes += count;
    if (!stream)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last < kInterval)
        return;
    last = now;
    Show("\r");
}

void ProgressLine::Finish() {
    // Only a line that was started needs its end; small trees finish before the first one.
    if (stream && shown)
        Show("\n");
    stream = nullptr;
}

void ProgressLine::Show(const char* end) {
    fprintf(stream, "%s: %llu files, %.1f MB%s", what, static_cast<unsigned long long>(files),
            double(bytes) / (1024.0 * 1024.0), end);
    fflush(stream);
    shown = true;
}
