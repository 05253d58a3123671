// The status as one line of a terminal: the status text, and for a download or an apply a bar
// that takes the room left, the share done, the megabytes unless the text shows them, and for a
// download the speed and the time left.
#pragma once

#include "launcher/StatusView.h"

constexpr int kLineSize = 512;
// The shortest bar worth drawing; a longer status text is cut to leave it room.
constexpr int kShortestBar = 10;

// Formats the line for a terminal of columns characters: it takes at most columns - 1, so that
// it never wraps, and at most kLineSize - 1. countsInText: the status text shows the phase's
// two megabyte counts already.
void FormatTerminalLine(char (&line)[kLineSize], const StatusView& view, int columns,
                        bool countsInText);

// Replaces each byte a terminal would act on (C0 controls such as escape, carriage return and
// line feed, and DEL) with '?': the texts shown come from launcher.ini and file names, and must
// not move the cursor, clear the screen or retitle the window.
void MakePrintable(char* text);
