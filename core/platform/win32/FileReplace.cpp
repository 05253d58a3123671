#include "core/platform/FileReplace.h"

#include <io.h>
#include <windows.h>

bool PlatformSyncFile(FILE* stream) {
    return fflush(stream) == 0 && _commit(_fileno(stream)) == 0;
}

// The lazy writer starts on its own; there is no request to start it for one file.
bool PlatformStartWriteback(FILE* stream) {
    return fflush(stream) == 0;
}

namespace {

// How long a file another program holds open for a moment is waited for.
constexpr DWORD kBusyWaitMilliseconds = 2000;
constexpr DWORD kBusyStepMilliseconds = 20;

} // namespace

bool PlatformMoveFile(const char* source, const char* target) {
    // rename() refuses an existing target here; MoveFileEx replaces it in one step, and
    // MOVEFILE_WRITE_THROUGH returns only once the move is on the device. A file that a virus
    // scanner, an indexer or any reader has open without delete sharing cannot be replaced
    // until it lets go, which it does within moments.
    for (DWORD waited = 0;; waited += kBusyStepMilliseconds) {
        if (MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
             error != ERROR_LOCK_VIOLATION) ||
            waited >= kBusyWaitMilliseconds)
            return false;
        Sleep(kBusyStepMilliseconds);
    }
}

bool PlatformReplaceFile(const char* source, const char* target) {
    return PlatformMoveFile(source, target);
}

bool PlatformSyncDirectory(const char* path) {
    // The file system's own log keeps directory entries; moves were written through already.
    const DWORD attributes = GetFileAttributesA(path[0] ? path : ".");
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PlatformSyncVolume(const char* path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path[0] ? path : ".", sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full || full[1] != ':')
        return false;
    // Flushing a whole volume takes a handle to the volume itself, which needs administrator
    // rights.
    char volume[] = "\\\\.\\C:";
    volume[4] = full[0];
    const HANDLE handle =
        CreateFileA(volume, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool synced = FlushFileBuffers(handle) != FALSE;
    CloseHandle(handle);
    return synced;
}
