#include "core/platform/Number.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {
// Made once; "C" always exists, so only exhausted memory could make it fail, and then the
// calling thread's own locale is the best that is left.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c;
}
} // namespace

double PlatformParseDecimal(const char* text) {
    const locale_t c = CLocale();
    return c ? strtod_l(text, nullptr, c) : strtod(text, nullptr);
}

int PlatformFormatFixed(char* destination, size_t size, double value) {
    const locale_t c = CLocale();
    // uselocale switches the calling thread only, so other threads are not disturbed.
    const locale_t previous = c ? uselocale(c) : locale_t(0);
    const int length = snprintf(destination, size, "%f", value);
    if (c)
        uselocale(previous);
    if (length < 0)
        destination[0] = '\0';
    return length;
}
