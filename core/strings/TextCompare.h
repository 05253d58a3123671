// Emptiness and case-insensitive comparisons of NUL-terminated 8-bit text. A null pointer
// counts as the empty text wherever a text is compared.
#pragma once

#include <cstddef>

bool StrIsEmpty(const char* text);

// The runtime's case-insensitive comparison: < 0, 0 or > 0.
int StrCompareNoCase(const char* a, const char* b);
bool StrEqualNoCase(const char* a, const char* b);

// True when the first min(count, length of a, length of b) characters agree without regard to
// case; so a prefix of the other text, or an empty text, compares equal.
bool StrPrefixEqualNoCase(const char* a, const char* b, size_t count);

// True when part occurs anywhere in text without regard to case. An empty part occurs in
// every text.
bool StrContainsNoCase(const char* text, const char* part);
