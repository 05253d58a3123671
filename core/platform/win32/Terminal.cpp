#include "core/platform/Terminal.h"

#include <io.h>

bool PlatformIsTerminal(FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}
