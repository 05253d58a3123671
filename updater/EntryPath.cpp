#include "updater/EntryPath.h"

#include "core/platform/Directory.h"
#include "core/strings/BoundedText.h"

#include <cstring>

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Windows drops trailing dots and blanks from a component, so any run of dots and blanks with
// two dots in it may turn into the parent directory.
bool MayNameParent(const char* component, size_t length) {
    size_t dots = 0;
    for (size_t i = 0; i < length; ++i) {
        if (component[i] == '.')
            ++dots;
        else if (component[i] != ' ')
            return false;
    }
    return dots >= 2;
}

} // namespace

bool IsSafeEntryName(const char* name) {
    if (strchr(name, ':'))
        return false;
    const char* start = name;
    for (const char* p = name;; ++p) {
        if (*p && !IsSeparator(*p))
            continue;
        if (MayNameParent(start, size_t(p - start)))
            return false;
        if (!*p)
            return true;
        start = p + 1;
    }
}

bool PrepareEntryTarget(const char* root, const char* name, char* target, size_t size) {
    char reached[2 * kEntryNameSize + 8];
    if (StrCopy(reached, sizeof reached, root) > sizeof reached)
        return false;
    const char* start = name;
    for (const char* p = name; *p; ++p) {
        if (!IsSeparator(*p))
            continue;
        if (p > start) {
            char candidate[sizeof reached];
            const size_t length = strlen(reached);
            if (length + 1 + size_t(p - start) + 1 > sizeof candidate)
                return false;
            memcpy(candidate, reached, length);
            candidate[length] = '/';
            memcpy(candidate + length + 1, start, size_t(p - start));
            candidate[length + 1 + size_t(p - start)] = '\0';
            PlatformMakeDirectory(candidate);
            if (PlatformIsDirectory(candidate))
                memcpy(reached, candidate, strlen(candidate) + 1);
        }
        start = p + 1;
    }
    if (!*start)
        return false;
    return StrCopy(target, size, reached) <= size && StrCat(target, size, "/") &&
           StrCat(target, size, start);
}
