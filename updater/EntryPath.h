// Where an archive entry lands inside the installation directory.
#pragma once

#include <cstddef>
#include <string>

// Entry names are read into a buffer of this size; a longer name is refused.
constexpr size_t kEntryNameSize = 260;

// The launcher's own folder in the installation directory: an update's staged files and its
// journal. No entry may name it or anything in it.
constexpr const char kStagingFolder[] = "installed_updates.staging";

// False for a name that could reach outside the directory it is extracted into: a ".."
// component (also one Windows would read as "..", like ".. " or "..."), a ':' (a drive
// prefix such as "C:", or a stream name) or a control character; and for a name in the
// launcher's staging folder. '/' and '\' both separate components; leading and doubled
// separators are harmless, empty components are passed over.
bool IsSafeEntryName(const char* name);

// Writes name as the installation-relative path the launcher uses: its components joined by
// '/', empty ones left out. *directory tells whether the name ends in a separator (a directory
// entry). False when nothing remains or it does not fit in size bytes.
bool EntryRelativeName(const char* name, char* relative, size_t size, bool* directory);

// name as Windows compares names (ASCII letters in lower case), so that two names of one file
// are found equal on every target.
std::string FoldedEntryName(const std::string& name);
