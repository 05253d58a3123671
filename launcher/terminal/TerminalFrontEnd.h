// The launcher on a terminal: the status line takes the splash window's place and Ctrl-C that
// of closing the window. On a terminal one line is rewritten in place, with a bar that fits the
// terminal's width, and the last bar stays when the run is over; written to a file or a pipe,
// the status comes as plain lines at a calm rate.
#pragma once

#include "launcher/FrontEnd.h"
#include "launcher/terminal/TerminalLine.h"

class TerminalFrontEnd : public FrontEnd {
public:
    // In place the line is redrawn at most this often; a new phase is drawn at once.
    static constexpr double kRedrawSeconds = 0.1;
    // Plain lines: one for each phase and, within a download or an apply, at most one in this
    // time. The checking dots get none.
    static constexpr double kPlainLineSeconds = 2.0;
    // The width of plain lines, and of a terminal that does not tell its own.
    static constexpr int kPlainColumns = 80;

    void* Open(const EntrySettings& settings) override;
    void ShowStatus(const StatusView& view) override;
    void Pump(uint32_t waitMilliseconds) override;
    void Wake() override;
    void StartProgram(const char* path, const char* parameter) override;
    void ReportFailure(const char* text) override;
    void Close() override;

private:
    // Draws the line of view unless it is the one shown (and the phase the same).
    void Draw(const StatusView& view, bool newPhase);

    bool inPlace = false;
    bool countsInDownload = false; // the studio's texts show both megabyte counts
    bool countsInApply = false;
    uint32_t shownPhase = 0;
    double shownAt = 0.0;
    char shown[kLineSize] = "";
    StatusView last{}; // the last download or apply; phase 0 before the first
};
