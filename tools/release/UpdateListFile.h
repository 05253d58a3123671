// An update list as a site serves it: adding entries without disturbing what is there, and the
// chain an update run walks through it.
#pragma once

#include "launcher/UpdateRecord.h"

#include <string>
#include <vector>

// Indexes of the entries one update run applies to an installation at version: it walks the
// list once, in document order, taking every entry whose "for" matches the version reached.
std::vector<size_t> AppliedEntries(const UpdateList& list, const char* version);

// Adds entry at the end of the list at path, or writes a new list with just entry when there
// is no file. Everything already in the file stays as it is, byte for byte; the result must
// read back through the launcher's reader as the old entries followed by entry, else nothing is
// changed. The file is replaced in one step. False, with the reason in *error, otherwise.
bool AddUpdateEntry(const std::string& path, const UpdateRecord& entry, std::string* error);
