// Where an archive entry lands inside the installation directory.
#pragma once

#include <cstddef>

// Entry names are read into a buffer of this size; a longer name is refused.
constexpr size_t kEntryNameSize = 260;

// False for a name that could reach outside the directory it is extracted into: a ".."
// component (also one Windows would read as "..", like ".. " or "..."), or a ':' (a drive
// prefix such as "C:", or a stream name). '/' and '\' both separate components; leading and
// doubled separators are harmless, empty components are passed over.
bool IsSafeEntryName(const char* name);

// Creates the directories of name below root one level at a time and writes the file's path
// into target (size bytes). A component that can be neither created nor entered as a
// directory is left out, so the rest resolves from the level reached. False when the name ends
// in a separator (a directory entry: nothing to write) or the path does not fit.
bool PrepareEntryTarget(const char* root, const char* name, char* target, size_t size);
