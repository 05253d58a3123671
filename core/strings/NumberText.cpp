#include "core/strings/NumberText.h"

#include "core/strings/BoundedText.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {
// The scan behind StrIsInteger and StrIsDecimal; a dot is a digit only when dotAllowed.
bool ScanNumber(const char* text, bool dotAllowed, bool* dotSeen) {
    bool signSeen = false;
    bool digitSeen = false;
    *dotSeen = false;
    for (; *text; ++text) {
        const char c = *text;
        if (c == '+' || c == '-') {
            if (signSeen || digitSeen)
                return false;
            signSeen = true;
        } else if (c == ' ' || c == '\t') {
            if (digitSeen)
                return false;
        } else if (c == '.' && dotAllowed) {
            if (*dotSeen)
                return false;
            *dotSeen = true;
            digitSeen = true;
        } else if (c >= '0' && c <= '9') {
            digitSeen = true;
        } else {
            return false;
        }
    }
    return true;
}
} // namespace

bool StrIsInteger(const char* text) {
    bool dotSeen;
    return ScanNumber(text, false, &dotSeen);
}

bool StrIsDecimal(const char* text) {
    bool dotSeen;
    return ScanNumber(text, true, &dotSeen) && dotSeen;
}

int32_t StrToInt(const char* text) {
    return atoi(text);
}

float StrToFloat(const char* text) {
    return float(atof(text));
}

void StrSplitTrailingNumber(const char* text, char* destination, size_t size, int32_t* number) {
    StrCopy(destination, size, text);
    *number = 0;
    const size_t length = strlen(text);
    if (length == 1)
        return;
    size_t runStart = length;
    while (runStart > 0 && text[runStart - 1] >= '0' && text[runStart - 1] <= '9')
        --runStart;
    if (runStart == length) {
        *number = 1;
        return;
    }
    // strtol with base 0 reads the run as "%i" would, but saturates instead of overflowing.
    const long value = strtol(text + runStart, nullptr, 0);
    *number = int32_t(value > INT32_MAX ? INT32_MAX : value);
    if (runStart < size)
        destination[runStart] = '\0';
}
