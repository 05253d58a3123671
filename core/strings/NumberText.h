// Tests and conversions of number texts.
#pragma once

#include <cstddef>
#include <cstdint>

// Leading blanks (space, tab), at most one sign before any digit, blanks between the sign and
// the digits, then digits only. The empty text, blanks only and a lone sign pass.
bool StrIsInteger(const char* text);

// As StrIsInteger, where one dot counts as a digit; true only when a dot was seen.
bool StrIsDecimal(const char* text);

// atoi and atof (the latter narrowed to float); both follow the C runtime's rules.
int32_t StrToInt(const char* text);
float StrToFloat(const char* text);

// Splits a trailing run of digits off text: destination (size bytes) gets the text before the
// run and number the run's value, read as C reads an integer literal (a leading 0 means octal,
// and the first non-octal digit ends it). Without a run, destination gets the whole text and
// number is 1; a one-character text gives the whole text and 0.
void StrSplitTrailingNumber(const char* text, char* destination, size_t size, int32_t* number);
