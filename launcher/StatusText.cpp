#include "launcher/StatusText.h"

#include "core/strings/BoundedText.h"
#include "updater/UpdaterState.h"

#include <cmath>
#include <cstring>

float AdvanceDotPhase(float phase, float dt) {
    phase += dt * 1.5f;
    return phase > 4.0f ? 0.0f : phase;
}

namespace {

constexpr double kMegabyte = 1048576.0;

// Skips up to three digits; false when a fourth follows.
bool SkipNumber(const char*& cursor) {
    for (int digits = 0; *cursor >= '0' && *cursor <= '9'; ++cursor)
        if (++digits > 3)
            return false;
    return true;
}

void FormatMegabytes(char (&status)[kStatusSize], const char* format, float done, float total) {
    const int conversions = NumberConversions(format);
    if (conversions < 0 || conversions > 2) {
        StrCopy(status, sizeof status, format);
        return;
    }
    StrFormat(status, sizeof status, format, double(float(done / kMegabyte)),
              double(float(total / kMegabyte)));
}

} // namespace

int NumberConversions(const char* format) {
    int conversions = 0;
    for (const char* cursor = format; *cursor; ++cursor) {
        if (*cursor != '%')
            continue;
        ++cursor;
        if (*cursor == '%')
            continue;
        while (*cursor && std::strchr("-+ #0", *cursor))
            ++cursor;
        if (!SkipNumber(cursor))
            return -1;
        if (*cursor == '.') {
            ++cursor;
            if (!SkipNumber(cursor))
                return -1;
        }
        if (*cursor == 'l')
            ++cursor;
        if (!*cursor || !std::strchr("eEfFgGaA", *cursor))
            return -1;
        ++conversions;
    }
    return conversions;
}

void FormatSpeed(char (&status)[kStatusSize], const char* format, double bytesPerSecond,
                 double secondsLeft) {
    status[0] = '\0';
    if (!format[0] || secondsLeft < 0.0)
        return;
    const int conversions = NumberConversions(format);
    if (conversions < 0 || conversions > 3) {
        StrCopy(status, sizeof status, format);
        return;
    }
    // Whole seconds, rounded up: "0:00 left" only once nothing is.
    const double whole = std::ceil(secondsLeft);
    StrFormat(status, sizeof status, format, bytesPerSecond / kMegabyte, std::floor(whole / 60.0),
              std::fmod(whole, 60.0));
}

void FormatStatus(char (&status)[kStatusSize], int32_t state, float dotPhase,
                  const EntrySettings& texts, const ProgressCounts& progress) {
    status[0] = '\0';
    switch (state) {
    case Checking:
        StrCopy(status, sizeof status, texts.textCheck);
        for (int dot = 0; dot < int(dotPhase); ++dot)
            StrCat(status, sizeof status, ".");
        break;
    case Downloading:
        FormatMegabytes(status, texts.textDownload, progress.downloadNow, progress.downloadTotal);
        break;
    case Extracting:
        FormatMegabytes(status, texts.textApply, progress.extracted, progress.extractTotal);
        break;
    default:
        break;
    }
}
