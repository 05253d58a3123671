#include "core/platform/Terminal.h"

#include <unistd.h>

bool PlatformOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}
