#include "core/platform/FileReplace.h"

#include "core/strings/PathText.h"

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr size_t kPathSize = 4096;

// Makes the new directory entry itself durable; a failure here loses no data, so it is ignored.
void SyncDirectoryOf(const char* path) {
    char directory[kPathSize];
    PathDirectory(path, directory, sizeof directory, true);
    const int handle = open(directory[0] ? directory : ".", O_RDONLY | O_DIRECTORY);
    if (handle < 0)
        return;
    fsync(handle);
    close(handle);
}
} // namespace

bool PlatformSyncFile(FILE* stream) {
    return fflush(stream) == 0 && fsync(fileno(stream)) == 0;
}

bool PlatformReplaceFile(const char* source, const char* target) {
    if (rename(source, target) != 0)
        return false;
    SyncDirectoryOf(target);
    return true;
}
