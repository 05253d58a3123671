#include "core/strings/PathText.h"

#include "core/strings/BoundedText.h"

#include <cstring>

namespace {
bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Index of the last separator, or -1.
long LastSeparator(const char* path) {
    long last = -1;
    for (long i = 0; path[i]; ++i)
        if (IsSeparator(path[i]))
            last = i;
    return last;
}

// Copies the first count characters of source (count within its length) and terminates.
void CopyPrefix(char* destination, size_t size, const char* source, size_t count) {
    if (size == 0)
        return;
    const size_t kept = count < size ? count : size - 1;
    memmove(destination, source, kept);
    destination[kept] = '\0';
}
} // namespace

void PathCollapseSeparators(char* path) {
    size_t out = 0;
    for (size_t in = 0; path[in]; ++in)
        if (!(in > 0 && IsSeparator(path[in]) && IsSeparator(path[in - 1])))
            path[out++] = path[in];
    path[out] = '\0';
}

void PathFileName(const char* path, char* destination, size_t size) {
    StrCopy(destination, size, path + LastSeparator(path) + 1);
}

void PathDirectory(const char* path, char* destination, size_t size, bool clear) {
    const long last = LastSeparator(path);
    if (last > 0)
        CopyPrefix(destination, size, path, size_t(last) + 1);
    else if (clear && size > 0)
        destination[0] = '\0';
}

void PathRelative(const char* base, const char* path, char* destination, size_t size) {
    const size_t baseLength = strlen(base);
    if (strlen(path) <= baseLength) {
        if (size > 0)
            destination[0] = '\0';
        return;
    }
    StrCopy(destination, size, path + baseLength);
}

void PathFirstComponent(const char* path, char* destination, size_t size) {
    size_t length = 0;
    while (path[length] && !IsSeparator(path[length]))
        ++length;
    CopyPrefix(destination, size, path, length);
}

void PathCommonDirectory(const char* a, const char* b, char* destination, size_t size) {
    size_t common = 0;
    while (a[common] && a[common] == b[common])
        ++common;
    // Only the common prefix is inspected; its last separator bounds what is copied.
    long last = -1;
    for (size_t i = 0; i < common; ++i)
        if (IsSeparator(a[i]))
            last = long(i);
    if (last > 0)
        CopyPrefix(destination, size, a, size_t(last) + 1);
}

void PathToForwardSlashes(char* path) {
    for (; *path; ++path)
        if (*path == '\\')
            *path = '/';
}

void PathExtension(const char* path, char* destination, size_t count) {
    long index = long(strlen(path)) - 1;
    size_t steps = 0;
    while (index > 0 && path[index] != '.' && steps < count) {
        --index;
        ++steps;
    }
    StrCopy(destination, count + 1, index < 0 ? path : path + index + 1);
}

void PathStripExtension(char* path) {
    size_t length = strlen(path);
    while (length > 0 && path[length - 1] != '.')
        --length;
    if (length > 0)
        --length;
    path[length] = '\0';
}
