#include "core/platform/Text.h"

#include <string.h>

int PlatformCompareNoCase(const char* a, const char* b) {
    return _stricmp(a, b);
}
