#include "updater/ConfigKeys.h"

#include "core/platform/Profile.h"

void ReadConfigText(const ConfigText& key, char* destination, const char* iniPath) {
    PlatformProfileString(config::kSection, key.name, key.defaultValue, destination, key.size,
                          iniPath);
}

int32_t ReadConfigNumber(const ConfigNumber& key, const char* iniPath) {
    return PlatformProfileInt(config::kSection, key.name, key.defaultValue, iniPath);
}
