#include "updater/EntryPath.h"

#include "core/strings/TextCompare.h"

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

// Whether the component is the staging folder as Windows would read it: any case, trailing
// dots and blanks dropped.
bool NamesStagingFolder(const char* component, size_t length) {
    while (length > 0 && (component[length - 1] == '.' || component[length - 1] == ' '))
        --length;
    char trimmed[sizeof kStagingFolder];
    if (length != sizeof trimmed - 1)
        return false;
    memcpy(trimmed, component, length);
    trimmed[length] = '\0';
    return StrEqualNoCase(trimmed, kStagingFolder);
}

} // namespace

bool IsSafeEntryName(const char* name) {
    if (strchr(name, ':'))
        return false;
    bool first = true;
    const char* start = name;
    for (const char* p = name;; ++p) {
        if (*p && static_cast<unsigned char>(*p) < 0x20)
            return false;
        if (*p && !IsSeparator(*p))
            continue;
        const size_t length = size_t(p - start);
        if (MayNameParent(start, length) || (first && NamesStagingFolder(start, length)))
            return false;
        first = first && length == 0;
        if (!*p)
            return true;
        start = p + 1;
    }
}

bool EntryRelativeName(const char* name, char* relative, size_t size, bool* directory) {
    size_t length = 0;
    const char* start = name;
    for (const char* p = name;; ++p) {
        if (*p && !IsSeparator(*p))
            continue;
        const size_t part = size_t(p - start);
        if (part > 0) {
            const size_t joined = length + (length > 0) + part;
            if (joined + 1 > size)
                return false;
            if (length > 0)
                relative[length++] = '/';
            memcpy(relative + length, start, part);
            length = joined;
        }
        if (!*p)
            break;
        start = p + 1;
    }
    if (length == 0 || size == 0)
        return false;
    relative[length] = '\0';
    *directory = IsSeparator(name[strlen(name) - 1]);
    return true;
}

std::string FoldedEntryName(const std::string& name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return folded;
}
