#include "core/platform/Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

bool PlatformIsTerminal(FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

int PlatformTerminalColumns(FILE* stream) {
    winsize size;
    return ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 ? int(size.ws_col) : 0;
}
