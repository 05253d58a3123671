#include "launcher/terminal/TerminalLine.h"

#include "core/strings/BoundedText.h"
#include "updater/UpdaterState.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kMegabyte = 1048576.0;

// "  1:05 left", or with hours "  2:03:07 left".
void AppendTimeLeft(char (&tail)[kLineSize], double secondsLeft) {
    if (secondsLeft < 0.0) {
        StrCat(tail, sizeof tail, "  --:-- left");
        return;
    }
    const long whole = long(std::ceil(secondsLeft));
    char part[32];
    if (whole >= 3600)
        StrFormat(part, sizeof part, "  %ld:%02ld:%02ld left", whole / 3600, whole / 60 % 60,
                  whole % 60);
    else
        StrFormat(part, sizeof part, "  %ld:%02ld left", whole / 60, whole % 60);
    StrCat(tail, sizeof tail, part);
}

// What follows the bar; the share done in 0 to 1, or negative without a total.
void FormatTail(char (&tail)[kLineSize], const ShownProgress& progress, bool countsInText,
                double* fraction) {
    double done = 0.0, total = 0.0;
    PhaseBytes(progress, &done, &total);
    *fraction = total > 0.0 ? std::clamp(done / total, 0.0, 1.0) : -1.0;
    tail[0] = '\0';
    char part[64];
    if (*fraction >= 0.0) {
        StrFormat(part, sizeof part, " %3d%%", int(*fraction * 100.0));
        StrCat(tail, sizeof tail, part);
    }
    if (!countsInText) {
        if (total > 0.0)
            StrFormat(part, sizeof part, "  %.1f/%.1f MB", done / kMegabyte, total / kMegabyte);
        else
            StrFormat(part, sizeof part, "  %.1f MB", done / kMegabyte);
        StrCat(tail, sizeof tail, part);
    }
    if (progress.state != Downloading)
        return;
    if (progress.bytesPerSecond < 0.0)
        StrCopy(part, sizeof part, "  --.- MB/s");
    else
        StrFormat(part, sizeof part, "  %.1f MB/s", progress.bytesPerSecond / kMegabyte);
    StrCat(tail, sizeof tail, part);
    AppendTimeLeft(tail, progress.secondsLeft);
}

} // namespace

void FormatTerminalLine(char (&line)[kLineSize], const StatusView& view, int columns,
                        bool countsInText) {
    const size_t width = size_t(std::clamp(columns, 1, kLineSize) - 1);
    double done = 0.0, total = 0.0;
    if (!PhaseBytes(view.progress, &done, &total)) {
        StrCopy(line, width + 1, view.text);
        MakePrintable(line);
        return;
    }
    char tail[kLineSize];
    double fraction = 0.0;
    FormatTail(tail, view.progress, countsInText, &fraction);

    // The bar takes what the text and the tail leave, at least kShortestBar: the text gives way.
    const size_t fixed = std::strlen(tail) + 2; // "[" and "]"
    size_t shownText = std::strlen(view.text);
    const size_t textRoom = shownText ? shownText + 1 : 0; // and a blank
    size_t bar = width > fixed + textRoom ? width - fixed - textRoom : 0;
    if (bar < kShortestBar) {
        bar = kShortestBar;
        const size_t room = width > fixed + bar ? width - fixed - bar : 0;
        shownText = room > 1 ? std::min(shownText, room - 1) : 0;
    }
    const size_t filled = fraction > 0.0 ? size_t(fraction * double(bar)) : 0;
    char bars[kLineSize]; // bar <= width < kLineSize
    std::fill(bars, bars + filled, '#');
    std::fill(bars + filled, bars + bar, '-');
    bars[bar] = '\0';

    StrCopy(line, std::min(shownText + 1, sizeof line), view.text);
    StrCat(line, sizeof line, shownText ? " [" : "[");
    StrCat(line, sizeof line, bars);
    StrCat(line, sizeof line, "]");
    StrCat(line, sizeof line, tail);
    line[width] = '\0';
    MakePrintable(line);
}

void MakePrintable(char* text) {
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) < 0x20 || *text == 0x7F)
            *text = '?';
}
