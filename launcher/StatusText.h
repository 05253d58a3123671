// The status line under the splash picture: the checking text with its growing dots, then
// megabytes received and megabytes extracted; and the studio's text of a download's speed and
// time left.
#pragma once

#include "launcher/EntrySettings.h"

#include <cstdint>

constexpr int kStatusSize = 128;

// The dot phase after dt more seconds: it grows by 1.5 a second and starts again at 0 once it
// passes 4, so a dot is added every 2/3 second.
float AdvanceDotPhase(float phase, float dt);

// What the worker has published, in bytes.
struct ProgressCounts {
    float downloadNow;
    float downloadTotal;
    float extracted;
    float extractTotal;
};

// The status line for a working state: Checking shows textCheck and one dot per whole unit of
// the phase (as many as fit); Downloading and Extracting format their text with the two
// megabyte counts. Any other state gives the empty line.
void FormatStatus(char (&status)[kStatusSize], int32_t state, float dotPhase,
                  const EntrySettings& texts, const ProgressCounts& progress);

// The speed and time-left text: format with three doubles, in this order: megabytes a second,
// whole minutes left and the seconds left beyond them. Empty while the time left is unknown
// (negative) and for an empty format.
void FormatSpeed(char (&status)[kStatusSize], const char* format, double bytesPerSecond,
                 double secondsLeft);

// How many doubles format takes when it may be given them: plain text, "%%", and conversions
// of the floating-point kinds (e, f, g, a in either case) with flags, a width and a precision
// of at most three digits each and an optional 'l'. -1 for any other conversion. A status
// format that may not be given its numbers is shown as it stands.
int NumberConversions(const char* format);
