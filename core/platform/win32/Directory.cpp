#include "core/platform/Directory.h"

#include "core/strings/BoundedText.h"

#include <windows.h>

#include <cstring>

bool PlatformMakeDirectory(const char* path) {
    return CreateDirectoryA(path, nullptr) != FALSE;
}

bool PlatformIsDirectory(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PlatformCurrentDirectory(char* destination, size_t size) {
    const DWORD length = GetCurrentDirectoryA(DWORD(size), destination);
    if (length == 0 || length >= size) {
        if (size)
            destination[0] = '\0';
        return false;
    }
    return true;
}

bool PlatformIsPlainDirectory(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool PlatformIsPlainFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool PlatformDirectoryNames(const char* path, PlatformNameVisit visit, void* user) {
    char pattern[MAX_PATH];
    if (StrFormat(pattern, sizeof pattern, "%s\\*", path) > sizeof pattern)
        return false;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            visit(found.cFileName, user);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

namespace {

// A reparse point (a junction, a link) is removed as itself: its target stays untouched.
bool RemoveItem(const char* path, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return DeleteFileA(path) != FALSE;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        char pattern[MAX_PATH];
        if (StrFormat(pattern, sizeof pattern, "%s\\*", path) > sizeof pattern)
            return false;
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA(pattern, &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const char* name = found.cFileName;
                if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
                    continue;
                char child[MAX_PATH];
                if (StrFormat(child, sizeof child, "%s\\%s", path, name) <= sizeof child)
                    RemoveItem(child, found.dwFileAttributes);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    return RemoveDirectoryA(path) != FALSE;
}

} // namespace

bool PlatformRemoveTree(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes == INVALID_FILE_ATTRIBUTES || RemoveItem(path, attributes);
}
