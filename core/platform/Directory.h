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
//   PlatformIsPlainDirectory(path)
//       true when path itself is a directory: not a link to one (a symbolic link, or on
//       Windows any reparse point such as a junction).
//   PlatformRemoveTree(path)
//       removes what path names: a file, a link (never what it points to) or a directory with
//       everything below it, links inside included but never followed; read-only files too.
//       True when nothing is left at path (also when there was nothing).
#pragma once

#include <cstddef>

bool PlatformMakeDirectory(const char* path);
bool PlatformIsDirectory(const char* path);
bool PlatformCurrentDirectory(char* destination, size_t size);
bool PlatformIsPlainDirectory(const char* path);
bool PlatformRemoveTree(const char* path);
