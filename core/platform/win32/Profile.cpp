#include "core/platform/Profile.h"

#include <windows.h>

uint32_t PlatformProfileString(const char* section, const char* key, const char* defaultValue,
                               char* destination, uint32_t size, const char* path) {
    return GetPrivateProfileStringA(section, key, defaultValue, destination, size, path);
}

int32_t PlatformProfileInt(const char* section, const char* key, int32_t defaultValue,
                           const char* path) {
    return int32_t(GetPrivateProfileIntA(section, key, defaultValue, path));
}
