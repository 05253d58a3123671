// The position of an open stdio stream, in 64 bits on every target (the standard calls take a
// long, which has 32 bits on Windows, so a file past 2 GiB could not be read there).
//
// Contract (every target):
//   PlatformFileTell(stream)
//       the stream's position in bytes from the start of the file, or -1 when the system
//       cannot tell. stream must not be null.
//   PlatformFileSeek(stream, offset, origin)
//       moves the position to offset bytes from origin (SEEK_SET, SEEK_CUR or SEEK_END), as
//       fseek does, and clears the end-of-file flag; 0 on success, non-zero on failure (a
//       position before the start of the file is one). stream must not be null.
#pragma once

#include <cstdint>
#include <cstdio>

int64_t PlatformFileTell(FILE* stream);
int PlatformFileSeek(FILE* stream, int64_t offset, int origin);
