#include "launcher/terminal/TerminalFrontEnd.h"

#include "core/platform/Interrupt.h"
#include "core/platform/Process.h"
#include "core/platform/Terminal.h"
#include "core/strings/BoundedText.h"
#include "launcher/MainLoop.h"
#include "updater/UpdaterState.h"

#include <cstdio>
#include <cstring>

void* TerminalFrontEnd::Open(const EntrySettings& settings) {
    inPlace = PlatformIsTerminal(stdout);
    countsInDownload = NumberConversions(settings.textDownload) == 2;
    countsInApply = NumberConversions(settings.textApply) == 2;
    PlatformInterruptCatch();
    return nullptr;
}

void TerminalFrontEnd::ShowStatus(const StatusView& view) {
    const int32_t state = view.progress.state;
    const bool newPhase = view.progress.phase != shownPhase;
    if (state == Downloading || state == Extracting) {
        last = view;
    } else if (inPlace && newPhase && (state == Aborted || state == Finished) &&
               last.progress.phase != 0) {
        // The last bar stays on the screen at its final counts, as terminal tools leave theirs.
        Draw(last, newPhase);
        std::printf("\n");
        std::fflush(stdout);
        shown[0] = '\0';
        shownPhase = view.progress.phase;
        return;
    }
    if (!newPhase && (view.seconds - shownAt < (inPlace ? kRedrawSeconds : kPlainLineSeconds) ||
                      (!inPlace && state == Checking)))
        return;
    shownPhase = view.progress.phase;
    Draw(view, newPhase);
}

void TerminalFrontEnd::Draw(const StatusView& view, bool newPhase) {
    const int columns = inPlace ? PlatformTerminalColumns(stdout) : 0;
    char line[kLineSize];
    FormatTerminalLine(line, view, columns > 0 ? columns : kPlainColumns,
                       view.progress.state == Downloading ? countsInDownload : countsInApply);
    if (!newPhase && std::strcmp(line, shown) == 0)
        return;
    shownAt = view.seconds;
    StrCopy(shown, sizeof shown, line);
    if (inPlace) {
        // The cursor goes back to the line's start, so that an error line of the worker
        // overwrites the status instead of trailing it.
        std::printf("\r\033[K%s\r", shown);
    } else if (shown[0]) {
        std::printf("%s\n", shown);
    }
    std::fflush(stdout);
}

void TerminalFrontEnd::Pump(uint32_t waitMilliseconds) {
    if (PlatformInterruptWait(waitMilliseconds))
        quitRequested.store(true);
}

void TerminalFrontEnd::Wake() {
    PlatformInterruptWake();
}

void TerminalFrontEnd::StartProgram(const char* path, const char* parameter) {
    if (PlatformStartProgram(path, parameter))
        return;
    char line[kLineSize];
    StrFormat(line, sizeof line, "could not start %s", path);
    ReportFailure(line);
}

void TerminalFrontEnd::ReportFailure(const char* text) {
    char shownText[kLineSize];
    StrCopy(shownText, sizeof shownText, text);
    MakePrintable(shownText);
    std::fprintf(stderr, "launcher: %s\n", shownText);
}

void TerminalFrontEnd::Close() {
    // Interrupted: keep the last status visible above the shell's prompt.
    if (inPlace && shown[0])
        std::printf("%s\n", shown);
    std::fflush(stdout);
}
