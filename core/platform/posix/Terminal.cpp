#include "core/platform/Terminal.h"

#include <unistd.h>

bool PlatformIsTerminal(FILE* stream) {
    return isatty(fileno(stream)) == 1;
}
