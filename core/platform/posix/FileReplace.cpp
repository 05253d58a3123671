#include "core/platform/FileReplace.h"

#include "core/strings/PathText.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {
constexpr size_t kPathSize = 4096;
} // namespace

bool PlatformSyncFile(FILE* stream) {
    return fflush(stream) == 0 && fsync(fileno(stream)) == 0;
}

bool PlatformStartWriteback(FILE* stream) {
    if (fflush(stream) != 0)
        return false;
    // Only a hint: a system that refuses it still syncs everything later.
    sync_file_range(fileno(stream), 0, 0, SYNC_FILE_RANGE_WRITE);
    return true;
}

bool PlatformSyncDirectory(const char* path) {
    const int handle = open(path[0] ? path : ".", O_RDONLY | O_DIRECTORY);
    if (handle < 0)
        return false;
    const bool synced = fsync(handle) == 0;
    close(handle);
    return synced;
}

bool PlatformSyncVolume(const char* path) {
    const int handle = open(path[0] ? path : ".", O_RDONLY);
    if (handle < 0)
        return false;
    const bool synced = syncfs(handle) == 0;
    close(handle);
    return synced;
}

bool PlatformMoveFile(const char* source, const char* target) {
    return rename(source, target) == 0;
}

bool PlatformReplaceFile(const char* source, const char* target) {
    if (!PlatformMoveFile(source, target))
        return false;
    // Makes the new directory entry itself durable; a failure here loses no data.
    char directory[kPathSize];
    PathDirectory(target, directory, sizeof directory, true);
    PlatformSyncDirectory(directory);
    return true;
}
