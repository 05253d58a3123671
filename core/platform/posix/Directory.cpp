#include "core/platform/Directory.h"

#include <sys/stat.h>
#include <unistd.h>

bool PlatformMakeDirectory(const char* path) {
    return mkdir(path, 0777) == 0;
}

bool PlatformIsDirectory(const char* path) {
    struct stat status;
    return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

bool PlatformCurrentDirectory(char* destination, size_t size) {
    if (size == 0 || !getcwd(destination, size)) {
        if (size)
            destination[0] = '\0';
        return false;
    }
    return true;
}
