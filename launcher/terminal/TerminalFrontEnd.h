// The launcher on a terminal: the status line takes the splash window's place and Ctrl-C that
// of closing the window. On a terminal the line is rewritten in place; written to a file or a
// pipe, each new line of status gets a line of its own.
#pragma once

#include "launcher/FrontEnd.h"
#include "launcher/StatusText.h"

class TerminalFrontEnd : public FrontEnd {
public:
    void* Open(const EntrySettings& settings) override;
    void ShowStatus(const char* text) override;
    void Pump(uint32_t waitMilliseconds) override;
    void Wake() override;
    void StartProgram(const char* path, const char* parameter) override;
    void ReportFailure(const char* text) override;
    void Close() override;

private:
    bool inPlace = false;
    char shown[kStatusSize] = "";
};
