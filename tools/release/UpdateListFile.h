// An update list as a site serves it: adding entries without disturbing what is there, and the
// chain an update run walks through it.
#pragma once

#include "updater/UpdateRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Appends the bytes of the file at path; false when it cannot be read or holds more than
// maxBytes.
bool ReadFileBytes(const std::string& path, std::string* bytes, size_t maxBytes = SIZE_MAX);

// Reads the list at path as the launcher does. False, with the reason in *error, when the
// launcher could not read it either.
bool ReadSiteList(const std::string& path, UpdateList* list, std::string* error);

// Indexes of the entries one update run applies to an installation at version: it walks the
// list once, in document order, taking every entry whose "for" matches the version reached.
std::vector<size_t> AppliedEntries(const UpdateList& list, const char* version);

// Writes beside the list at path (path + ".new", returned in *staged) the list with entry added
// at the end, or a new list with just entry when there is no file. Everything already in the
// file stays as it is, byte for byte; the result must read back through the launcher's reader
// as the old entries followed by entry. False, with the reason in *error and nothing left
// behind, otherwise. Replacing path by *staged is the caller's step.
bool StageUpdateEntry(const std::string& path, const UpdateRecord& entry, std::string* staged,
                      std::string* error);
