// Number texts of XML values, alike on every platform and under every locale: a '.' always
// separates the fraction.
#pragma once

#include <cstddef>
#include <cstdint>

// Room for every float as XmlFloatToText writes it, terminator included.
constexpr size_t kXmlFloatTextSize = 52;

// The number at the start of text as atof reads it in the "C" locale: leading white space, a
// sign, digits with one '.', an exponent; "inf", "infinity" and "nan" in any case. The first
// character that cannot continue the number ends it; no number gives 0. Values beyond the
// float range become infinite.
float XmlTextToFloat(const char* text);

// The integer at the start of text as atoi reads it; values beyond 32 bits are clamped to
// INT32_MIN or INT32_MAX.
int32_t XmlTextToInt(const char* text);

// printf's "%f" of the value (six digits after a '.'), or "inf", "-inf" or "nan".
void XmlFloatToText(float value, char (&text)[kXmlFloatTextSize]);
