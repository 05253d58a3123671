#include "core/platform/Text.h"

#include <strings.h>

int PlatformCompareNoCase(const char* a, const char* b) {
    return strcasecmp(a, b);
}
