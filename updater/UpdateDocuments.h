// Reading the update list and "installed_updates", and writing "installed_updates".
#pragma once

#include "updater/UpdateRecord.h"

// Loads the document at path (top-level element "game") and replaces list with its "update"
// entries in document order. False, with list untouched, when the file is missing, unreadable,
// not well-formed or without a "game" root. Texts longer than a field are cut to it.
bool ReadUpdateList(const char* path, UpdateList* list);

// Replaces the document at path by the six-line "installed_updates" document for version,
// atomically: a crash or a full disk leaves the old document or the new one, never a part.
// False (the old document untouched) when it could not be written.
bool WriteInstalledUpdates(const char* path, const char* version);
