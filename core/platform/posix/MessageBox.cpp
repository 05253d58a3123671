#include "core/platform/MessageBox.h"

#include <cstdio>

void PlatformMessageBox(void*, const char* text, const char* caption) {
    fprintf(stderr, "%s: %s\n", caption, text);
}
