#include "core/platform/FileReplace.h"

#include <io.h>
#include <windows.h>

bool PlatformSyncFile(FILE* stream) {
    return fflush(stream) == 0 && _commit(_fileno(stream)) == 0;
}

bool PlatformMoveFile(const char* source, const char* target) {
    // rename() refuses an existing target here; MoveFileEx replaces it in one step, and
    // MOVEFILE_WRITE_THROUGH returns only once the move is on the device.
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool PlatformReplaceFile(const char* source, const char* target) {
    return PlatformMoveFile(source, target);
}

bool PlatformSyncDirectory(const char* path) {
    // The file system's own log keeps directory entries; moves were written through already.
    const DWORD attributes = GetFileAttributesA(path[0] ? path : ".");
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
