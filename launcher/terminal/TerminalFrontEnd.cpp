#include "launcher/terminal/TerminalFrontEnd.h"

#include "core/platform/Interrupt.h"
#include "core/platform/Process.h"
#include "core/platform/Terminal.h"
#include "core/strings/BoundedText.h"
#include "core/strings/TextCompare.h"
#include "launcher/MainLoop.h"

#include <cstdio>

void* TerminalFrontEnd::Open(const EntrySettings&) {
    inPlace = PlatformIsTerminal(stdout);
    PlatformInterruptCatch();
    return nullptr;
}

void TerminalFrontEnd::ShowStatus(const char* text) {
    if (StrEqualNoCase(text, shown))
        return;
    StrCopy(shown, sizeof shown, text);
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
    if (!PlatformStartProgram(path, parameter))
        std::fprintf(stderr, "launcher: could not start %s\n", path);
}

void TerminalFrontEnd::ReportFailure(const char* text) {
    std::fprintf(stderr, "launcher: %s\n", text);
}

void TerminalFrontEnd::Close() {
    // Interrupted: keep the last status visible above the shell's prompt.
    if (inPlace && shown[0])
        std::printf("%s\n", shown);
    std::fflush(stdout);
}
