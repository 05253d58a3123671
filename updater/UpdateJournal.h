// The journal of an update: the directories to make, the files to remove and the staged files
// to move into the installation, with the version they give. It is written whole and flushed
// before the first change to the installation, so that an update stopped at any moment (a
// kill, a crash, a power loss) is completed at the next start; every step may be done again.
#pragma once

#include "updater/EntryPath.h"
#include "updater/UpdateRecord.h"

#include <cstdint>
#include <string>
#include <vector>

struct JournalStep {
    enum Kind : char { MakeDirectory = 'd', Remove = 'r', Move = 'm' };
    Kind kind;
    uint32_t staged;  // Move: the staged file's number in the staging folder
    std::string name; // installation-relative, '/' between components, shorter than
                      // kEntryNameSize
};

struct UpdateJournal {
    char toVersion[UpdateRecord::kVersionSize];
    std::vector<JournalStep> steps; // directories, then removals, then moves
};

// Most steps a journal may hold; a longer one is damaged.
constexpr uint32_t kJournalMaxSteps = 1u << 20;

// The path of staged file number staged in the staging folder at staging.
bool StagedFilePath(const char* staging, uint32_t staged, char* path, size_t size);

// Writes the journal into the staging folder at staging: into a new file, flushed to the
// device, then renamed into place, so that it is found whole or not at all. False when it could
// not be written or holds what it could not read back.
bool JournalWrite(const char* staging, const UpdateJournal& journal);

// Reads the journal of the staging folder at staging. False when there is none or it is
// damaged: not whole, too long, a name that is not safe or not in the form written, a file both
// removed and moved.
bool JournalRead(const char* staging, UpdateJournal* journal);

// Whether every step can be done in the installation at root before any is: no directory where
// a file goes or is removed, no file where a directory goes, no file that cannot be opened for
// writing (read-only, or in use on Windows).
bool JournalTargetsFree(const char* root, const UpdateJournal& journal);

// Puts the staged files of the journal's moves on the device. False when one could not be.
bool JournalSyncStaged(const char* staging, const UpdateJournal& journal);

// Does the steps in order below root, taking staged files from staging; a staged file that is
// gone was moved already. Then puts the changes on the device. False at the first step that
// fails; the journal may then be done again.
bool JournalApply(const char* root, const char* staging, const UpdateJournal& journal);
