// What the launcher needs from the surface that shows it: the splash window on Windows, the
// terminal elsewhere. Everything but Wake is called on the main thread.
#pragma once

#include "launcher/EntrySettings.h"
#include "launcher/StatusView.h"

#include <cstdint>

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Shows the surface with the entry's settings before the worker starts. Returns the
    // native window that owns the worker's message boxes, or null for none.
    virtual void* Open(const EntrySettings& settings) = 0;
    // Takes the pass's status: the status line and the progress of its phase. Each front end
    // redraws only what changed, at a rate of its own.
    virtual void ShowStatus(const StatusView& view) = 0;
    // Waits at most waitMilliseconds for input (window messages, Ctrl-C), then handles all
    // that is pending. Closing the window or Ctrl-C sets quitRequested.
    virtual void Pump(uint32_t waitMilliseconds) = 0;
    // Ends the current (or the next) Pump wait early; the one call allowed on any thread.
    virtual void Wake() = 0;
    // Starts the program at path with parameter; does not wait for it.
    virtual void StartProgram(const char* path, const char* parameter) = 0;
    // Tells the user about a failure of the launcher itself, before anything was started.
    virtual void ReportFailure(const char* text) = 0;
    // The loop is over; the process ends next.
    virtual void Close() = 0;
};
