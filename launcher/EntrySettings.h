// The process entry's share of launcher.ini (the splash window's size, font, text colour and
// position, the status texts and the progress bar), the paths it forms and the window's placement.
#pragma once

#include <cstdint>

class Updater;

struct EntrySettings {
    static constexpr int kTextSize = 128;

    int32_t width;
    int32_t height;
    char fontFace[kTextSize]; // the text of "FontSize"
    int32_t fontSize;         // the number in "FontSize"
    int32_t fontR;            // colour parts; only the low 8 bits count
    int32_t fontG;
    int32_t fontB;
    int32_t textX; // top left of the status text in the window
    int32_t textY;
    char textCheck[kTextSize];    // shown while checking, followed by the dots
    char textDownload[kTextSize]; // formats for two floating-point megabyte counts
    char textApply[kTextSize];
    char textSpeed[kTextSize]; // format for megabytes a second, minutes and seconds left
    int32_t barX;              // the progress bar's rectangle in the window; none without a size
    int32_t barY;
    int32_t barWidth;
    int32_t barHeight;
    int32_t barR; // its filled part's colour; only the low 8 bits count
    int32_t barG;
    int32_t barB;
    int32_t barBackR; // its unfilled part's colour; negative parts leave the picture there
    int32_t barBackG;
    int32_t barBackB;
};

// Reads every key of the entry from the file at iniPath, in the file's documented order;
// missing keys (or a missing file) give the defaults.
void ReadEntrySettings(const char* iniPath, EntrySettings* settings);

// Forms the updater's iniPath, launcherUpdaterPath and launcherMarkerPath from the working
// directory. False when the directory is too long for them; nothing may be started then.
bool FormLauncherPaths(Updater* updater);

struct WindowPlacement {
    int32_t x;
    int32_t y;
};

// Centres a window on the desktop: half of what its right (bottom) edge leaves beside the
// window, truncated toward zero. The desktop's left and top edges count as 0.
WindowPlacement CentredPlacement(int32_t desktopRight, int32_t desktopBottom, int32_t width,
                                 int32_t height);
