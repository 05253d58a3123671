#include "core/strings/TextCompare.h"

#include "core/platform/Text.h"

#include <cctype>
#include <cstring>

namespace {
const char* OrEmpty(const char* text) {
    return text ? text : "";
}

bool SameLetter(char a, char b) {
    return tolower(static_cast<unsigned char>(a)) == tolower(static_cast<unsigned char>(b));
}
} // namespace

bool StrIsEmpty(const char* text) {
    return !text || !*text;
}

int StrCompareNoCase(const char* a, const char* b) {
    return PlatformCompareNoCase(OrEmpty(a), OrEmpty(b));
}

bool StrEqualNoCase(const char* a, const char* b) {
    return StrCompareNoCase(a, b) == 0;
}

bool StrPrefixEqualNoCase(const char* a, const char* b, size_t count) {
    a = OrEmpty(a);
    b = OrEmpty(b);
    for (size_t i = 0; i < count && a[i] && b[i]; ++i)
        if (!SameLetter(a[i], b[i]))
            return false;
    return true;
}

// Every start position is tried, the last possible one included, so an occurrence at the very
// end of the text (or a part equal to the text) is found.
bool StrContainsNoCase(const char* text, const char* part) {
    text = OrEmpty(text);
    part = OrEmpty(part);
    const size_t textLength = strlen(text);
    const size_t partLength = strlen(part);
    for (size_t start = 0; start + partLength <= textLength; ++start) {
        size_t i = 0;
        while (i < partLength && SameLetter(text[start + i], part[i]))
            ++i;
        if (i == partLength)
            return true;
    }
    return false;
}
