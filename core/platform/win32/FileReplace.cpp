#include "core/platform/FileReplace.h"

#include <io.h>
#include <windows.h>

bool PlatformSyncFile(FILE* stream) {
    return fflush(stream) == 0 && _commit(_fileno(stream)) == 0;
}

bool PlatformReplaceFile(const char* source, const char* target) {
    // rename() refuses an existing target here; MoveFileEx replaces it in one step.
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
