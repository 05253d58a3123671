#include "core/platform/Directory.h"

#include <windows.h>

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
