#include "core/platform/Terminal.h"

#include <io.h>
#include <stdio.h>

bool PlatformOutputIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}
