// Waits for the launcher's splash window, lets it show for a while, then saves what the screen
// shows of it as a BMP file. Usage: splash_capture OUT.bmp [DELAY_MS]. Exit code 0 when saved.
#include "tests/launcher/win32/ScreenCapture.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    HWND splash = nullptr;
    for (int wait = 0; argc > 1 && wait < 600 && !(splash = FindWindowA("ZEdaroDozaza", nullptr));
         ++wait)
        Sleep(50);
    if (splash) {
        Sleep(argc > 2 ? DWORD(std::strtoul(argv[2], nullptr, 10)) : 1500);
        if (WriteBitmapFile(argv[1], CaptureWindow(splash)))
            return 0;
    }
    std::fprintf(stderr, "splash_capture OUT.bmp [DELAY_MS]: no splash window was saved\n");
    return 1;
}
