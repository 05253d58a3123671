#include "core/platform/DiskSpace.h"

#include <sys/statvfs.h>

#include <cstring>
#include <string>

bool PlatformDiskFreeBytes(const char* path, uint64_t* freeBytes) {
    struct statvfs volume;
    if (statvfs(path, &volume) != 0) {
        // A file about to be created: ask for the directory that will hold it.
        const char* slash = strrchr(path, '/');
        const std::string directory = !slash          ? std::string(".")
                                      : slash == path ? std::string("/")
                                                      : std::string(path, slash);
        if (statvfs(directory.c_str(), &volume) != 0)
            return false;
    }
    *freeBytes = uint64_t(volume.f_bavail) * volume.f_frsize;
    return true;
}
