#include "core/platform/FilePosition.h"

#include <sys/types.h>

static_assert(sizeof(off_t) == 8, "file positions must have 64 bits");

int64_t PlatformFileTell(FILE* stream) {
    return ftello(stream);
}

int PlatformFileSeek(FILE* stream, int64_t offset, int origin) {
    return fseeko(stream, off_t(offset), origin);
}
