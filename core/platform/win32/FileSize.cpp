#include "core/platform/FileSize.h"

#include <sys/stat.h>

bool PlatformRegularFileSize(FILE* stream, uint64_t* size) {
    // The 64-bit form, so that files beyond 2 GiB report their real length.
    struct _stat64 status;
    if (_fstat64(_fileno(stream), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG ||
        status.st_size < 0)
        return false;
    *size = uint64_t(status.st_size);
    return true;
}
