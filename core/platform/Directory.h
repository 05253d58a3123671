// Directories.
//
// Contract:
//   PlatformMakeDirectory(path)
//       creates one directory level with default rights; false when it was not created (it
//       may exist already).
//   PlatformIsDirectory(path)
//       true when path names an existing directory (links followed).
//   PlatformCurrentDirectory(destination, size)
//       the process's current directory as the system spells it; false (destination empty)
//       when it does not fit in size bytes.
#pragma once

#include <cstddef>

bool PlatformMakeDirectory(const char* path);
bool PlatformIsDirectory(const char* path);
bool PlatformCurrentDirectory(char* destination, size_t size);
