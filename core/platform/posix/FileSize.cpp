#include "core/platform/FileSize.h"

#include <sys/stat.h>

bool PlatformRegularFileSize(FILE* stream, uint64_t* size) {
    struct stat status;
    if (fstat(fileno(stream), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0)
        return false;
    *size = uint64_t(status.st_size);
    return true;
}
