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
//   PlatformIsPlainFile(path)
//       true when path itself is a file: not a directory, not a link to one or to a file.
//   PlatformDirectoryNames(path, visit, user)
//       calls visit(name, user) with the name of every item of the directory path (not "." or
//       ".."), in no set order; links are named as themselves. False when the directory cannot
//       be read. visit may remove the item it is given.
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
bool PlatformIsPlainFile(const char* path);
typedef void (*PlatformNameVisit)(const char* name, void* user);
bool PlatformDirectoryNames(const char* path, PlatformNameVisit visit, void* user);
bool PlatformRemoveTree(const char* path);
