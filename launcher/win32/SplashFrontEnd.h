// The launcher on Windows: the splash window shows the status line, and its message pump
// waits for input at most one frame.
#pragma once

#include "launcher/FrontEnd.h"

class SplashFrontEnd : public FrontEnd {
public:
    void* Open(const EntrySettings& settings) override;
    void ShowStatus(const StatusView& view) override;
    void Pump(uint32_t waitMilliseconds) override;
    void Wake() override;
    void StartProgram(const char* path, const char* parameter) override;
    void ReportFailure(const char* text) override;
    void Close() override {}

private:
    unsigned long mainThread = 0; // whose message queue Pump waits on
};
