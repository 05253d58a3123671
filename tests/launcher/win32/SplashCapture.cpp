// Waits for the launcher's splash window, lets it show for a while, then saves what the screen
// shows of it as a BMP file. Usage: splash_capture OUT.bmp [DELAY_MS]. Exit code 0 when saved.
#include "tests/launcher/win32/ScreenCapture.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: splash_capture OUT.bmp [DELAY_MS]\n");
        return 2;
    }
    const DWORD delay = argc > 2 ? DWORD(std::strtoul(argv[2], nullptr, 10)) : 1500;
    HWND splash = nullptr;
    for (int wait = 0; wait < 600 && !(splash = FindWindowA("ZEdaroDozaza", nullptr)); ++wait)
        Sleep(50);
    if (!splash) {
        std::fprintf(stderr, "splash_capture: no splash window appeared\n");
        return 1;
    }
    Sleep(delay);
    if (!WriteBitmapFile(argv[1], CaptureWindow(splash))) {
        std::fprintf(stderr, "splash_capture: could not save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
