// What one pass of the main loop gives the front end to show.
#pragma once

#include "launcher/ProgressTracker.h"
#include "launcher/StatusText.h"

struct StatusView {
    char text[kStatusSize];      // the status line of the studio's texts
    char speedText[kStatusSize]; // the studio's speed and time-left text; empty for none
    ShownProgress progress;
    double seconds; // when the pass ran, on the main loop's clock
};
