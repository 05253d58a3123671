// The launcher on Windows: shows the splash window while the installation in the working
// directory is brought up to date, then starts the game.
#include "launcher/MainLoop.h"
#include "launcher/win32/SplashFrontEnd.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SplashFrontEnd splash;
    return LauncherMain(splash, LAUNCHER_FRAME_WAIT_MS);
}
