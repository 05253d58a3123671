// The launcher on Linux: brings the installation in the working directory up to date, showing
// its progress on the terminal, then starts the game.
#include "launcher/MainLoop.h"
#include "launcher/terminal/TerminalFrontEnd.h"

int main() {
    TerminalFrontEnd terminal;
    return LauncherMain(terminal, LAUNCHER_FRAME_WAIT_MS);
}
