// What a window looks like on the screen, pixel by pixel, and a picture file of it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct ScreenCapture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x??RRGGBB, rows from the top

    uint32_t At(int x, int y) const {
        return pixels[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFF;
    }
};

// The screen's pixels under the window's rectangle; empty when they cannot be read.
ScreenCapture CaptureWindow(HWND window);
// A 32-bit top-down BMP file of the capture; false when it cannot be written.
bool WriteBitmapFile(const std::string& path, const ScreenCapture& capture);
