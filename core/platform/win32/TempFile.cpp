#include "core/platform/TempFile.h"

#include "core/strings/BoundedText.h"

#include <windows.h>

bool PlatformCreateTempFile(char* destination, size_t size) {
    if (size)
        destination[0] = '\0';
    char directory[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory)
        return false;
    // GetTempFileNameA creates the file, which is what makes the name ours.
    char name[MAX_PATH];
    if (!GetTempFileNameA(directory, "upd", 0, name))
        return false;
    if (StrCopy(destination, size, name) > size) {
        DeleteFileA(name);
        destination[0] = '\0';
        return false;
    }
    return true;
}
