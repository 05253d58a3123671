#include "core/platform/FilePosition.h"

int64_t PlatformFileTell(FILE* stream) {
    return _ftelli64(stream);
}

int PlatformFileSeek(FILE* stream, int64_t offset, int origin) {
    return _fseeki64(stream, offset, origin);
}
