// Decimal number text in the "C" form (a '.' before the fraction), whatever locale the process
// or the calling thread runs under.
//
// Contract (every target):
//   PlatformParseDecimal(text)
//       text holds exactly one decimal number and nothing else: an optional sign, digits with
//       at most one '.' among them (at least one digit), and optionally 'e' or 'E', an optional
//       sign and digits. Returns its value as strtod does in the "C" locale: correctly
//       rounded, +-HUGE_VAL when it is too large and 0 (or the nearest denormal) when too
//       small. Other texts give an unspecified value. Never fails; any thread.
//   PlatformFormatFixed(destination, size, value)
//       writes value as printf's "%f" does in the "C" locale: an optional '-', digits, '.', six
//       digits. value must be finite. Output longer than size - 1 characters is cut there;
//       destination is always terminated (size > 0). Returns the length of the whole text, or
//       -1 when formatting failed (destination then holds ""). Any thread.
// Neither changes the locale of the process or of any thread.
#pragma once

#include <cstddef>

double PlatformParseDecimal(const char* text);
int PlatformFormatFixed(char* destination, size_t size, double value);
