#include "core/platform/Number.h"

#include "core/strings/BoundedText.h"

#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {
// Made once; "C" always exists, so only exhausted memory could make it fail, and then the
// runtime's global locale is the best that is left.
_locale_t CLocale() {
    static const _locale_t c = _create_locale(LC_NUMERIC, "C");
    return c;
}
} // namespace

double PlatformParseDecimal(const char* text) {
    const _locale_t c = CLocale();
    return c ? _atof_l(text, c) : atof(text);
}

int PlatformFormatFixed(char* destination, size_t size, double value) {
    const _locale_t c = CLocale();
    // The runtime's _snprintf_l neither terminates a cut text nor reports the whole length, so
    // format into room for every finite double ("%f" of DBL_MAX is 316 characters) first.
    char whole[400];
    const int length = c ? _snprintf_l(whole, sizeof whole, "%f", c, value)
                         : snprintf(whole, sizeof whole, "%f", value);
    if (length < 0 || size_t(length) >= sizeof whole) {
        destination[0] = '\0';
        return -1;
    }
    whole[length] = '\0';
    StrCopy(destination, size, whole);
    return length;
}
