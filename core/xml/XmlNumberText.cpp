#include "core/xml/XmlNumberText.h"

#include "core/platform/Number.h"
#include "core/strings/BoundedText.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether text starts with word (lower case) without regard to case.
bool StartsWithWord(const char* text, const char* word) {
    for (; *word; ++text, ++word) {
        const char c = (*text >= 'A' && *text <= 'Z') ? char(*text - 'A' + 'a') : *text;
        if (c != *word)
            return false;
    }
    return true;
}

// Appends the run of digits at text to number; returns the first character after it.
const char* TakeDigits(const char* text, std::string* number) {
    while (IsDigit(*text))
        number->push_back(*text++);
    return text;
}
} // namespace

float XmlTextToFloat(const char* text) {
    while (IsSpace(*text))
        ++text;
    std::string number;
    if (*text == '+' || *text == '-')
        number.push_back(*text++);
    const size_t signLength = number.size();
    // The runtimes disagree on these words, so they are read here.
    if (StartsWithWord(text, "inf")) {
        const float infinity = std::numeric_limits<float>::infinity();
        return number == "-" ? -infinity : infinity;
    }
    if (StartsWithWord(text, "nan"))
        return std::numeric_limits<float>::quiet_NaN();

    text = TakeDigits(text, &number);
    bool digits = number.size() > signLength;
    if (*text == '.') {
        number.push_back('.');
        const size_t before = number.size();
        text = TakeDigits(text + 1, &number);
        digits = digits || number.size() > before;
    }
    if (!digits)
        return 0.0f;
    // An exponent counts only when digits follow it.
    if ((*text == 'e' || *text == 'E') &&
        (IsDigit(text[1]) || ((text[1] == '+' || text[1] == '-') && IsDigit(text[2])))) {
        number.push_back('e');
        ++text;
        if (*text == '+' || *text == '-')
            number.push_back(*text++);
        TakeDigits(text, &number);
    }
    const double value = PlatformParseDecimal(number.c_str());
    if (value > FLT_MAX)
        return std::numeric_limits<float>::infinity();
    if (value < -FLT_MAX)
        return -std::numeric_limits<float>::infinity();
    return float(value);
}

int32_t XmlTextToInt(const char* text) {
    const long value = strtol(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return int32_t(value);
}

void XmlFloatToText(float value, char (&text)[kXmlFloatTextSize]) {
    if (std::isnan(value))
        StrCopy(text, sizeof text, "nan");
    else if (std::isinf(value))
        StrCopy(text, sizeof text, value < 0 ? "-inf" : "inf");
    else
        PlatformFormatFixed(text, sizeof text, double(value));
}
