// Unique temporary files.
//
// Contract:
//   PlatformCreateTempFile(destination, size)
//       creates a new empty file with a unique name in the system's temporary directory and
//       writes its full path into destination (size bytes). The name is reserved by the
//       creation itself, so two callers, threads or processes never get the same file. False
//       (destination empty, nothing left behind) when no file could be created or its path
//       does not fit. The caller deletes the file.
#pragma once

#include <cstddef>

bool PlatformCreateTempFile(char* destination, size_t size);
