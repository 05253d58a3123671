// Text facilities whose names differ between the runtime libraries.
//
// Contract:
//   PlatformCompareNoCase(a, b)  compares two NUL-terminated texts with ASCII letters folded
//                                to lower case: < 0, 0 or > 0 as the runtime's case-insensitive
//                                comparison (_stricmp, strcasecmp) answers. Neither may be null.
#pragma once

int PlatformCompareNoCase(const char* a, const char* b);
