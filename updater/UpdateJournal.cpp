#include "updater/UpdateJournal.h"

#include "core/platform/Directory.h"
#include "core/platform/FileReplace.h"
#include "core/strings/BoundedText.h"
#include "core/strings/TextCompare.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

constexpr const char kJournal[] = "journal";
constexpr const char kJournalNew[] = "journal.new";
constexpr const char kHeader[] = "launcher journal 1";
constexpr const char kVersionTag[] = "to ";
constexpr const char kEnd[] = "end";
// A root of kPathSize and a name of kEntryNameSize, with room to spare.
constexpr size_t kJoinedSize = 2 * kEntryNameSize + 32;
// A step's line: its kind, a number, a name.
constexpr size_t kLineSize = kEntryNameSize + 32;

bool Join(const char* root, const char* name, char (&path)[kJoinedSize]) {
    return StrFormat(path, sizeof path, "%s/%s", root, name) <= sizeof path;
}

bool Exists(const char* path) {
    FILE* file = fopen(path, "rb");
    if (file)
        fclose(file);
    return file || PlatformIsDirectory(path);
}

// Walks the directories above name's last component below root, one level at a time, making
// each when make is set. True when each is a directory, or (when not making) is not there yet:
// no file stands where a directory goes. *present, when given, tells whether they all are there.
bool WalkParents(const char* root, const char* name, bool make, bool* present = nullptr) {
    char path[kJoinedSize];
    if (!Join(root, name, path))
        return false;
    bool there = true;
    for (char* p = path + strlen(root) + 1; *p && there; ++p) {
        if (*p != '/')
            continue;
        *p = '\0';
        if (make)
            PlatformMakeDirectory(path);
        there = PlatformIsDirectory(path);
        const bool free = there || (!make && !Exists(path));
        *p = '/';
        if (!free)
            return false;
    }
    if (present)
        *present = there;
    return true;
}

// A file that is there must take writing: read-only and (on Windows) busy files are not.
bool Replaceable(const char* path) {
    if (PlatformIsDirectory(path))
        return false;
    FILE* file = fopen(path, "r+b");
    if (file) {
        fclose(file);
        return true;
    }
    return errno == ENOENT;
}

// Ends the process before step number N when the variable holds N: the moments between the
// steps are the ones a test cannot aim a kill at from outside. Unset in every real run.
long StepsBeforeTestExit() {
    const char* text = getenv("LAUNCHER_TEST_EXIT_AFTER_STEPS");
    return text && *text ? strtol(text, nullptr, 10) : -1;
}

bool ParseStep(const char* line, JournalStep* step) {
    const char kind = line[0];
    if ((kind != JournalStep::MakeDirectory && kind != JournalStep::Remove &&
         kind != JournalStep::Move) ||
        line[1] != ' ')
        return false;
    step->kind = JournalStep::Kind(kind);
    step->staged = 0;
    const char* name = line + 2;
    if (kind == JournalStep::Move) {
        char* end = nullptr;
        const unsigned long staged = strtoul(name, &end, 10);
        if (end == name || *end != ' ' || staged >= kJournalMaxSteps || name[0] == '-')
            return false;
        step->staged = uint32_t(staged);
        name = end + 1;
    }
    // Only the form the launcher writes: a safe name without empty components.
    char relative[kEntryNameSize];
    bool directory = false;
    step->name = name;
    return strlen(name) < kEntryNameSize && IsSafeEntryName(name) &&
           EntryRelativeName(name, relative, sizeof relative, &directory) && !directory &&
           strcmp(relative, name) == 0;
}

// The directories above name's last component ("" for none), as one text.
std::string ParentOf(const std::string& name) {
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

bool ReadLine(FILE* file, char (&line)[kLineSize]) {
    if (!fgets(line, sizeof line, file))
        return false;
    const size_t length = strlen(line);
    // A line without its end was cut, or is longer than any the launcher writes.
    if (length == 0 || line[length - 1] != '\n')
        return false;
    line[length - 1] = '\0';
    return true;
}

// Whether nothing at target stands in the way of a step of kind.
bool TargetFree(JournalStep::Kind kind, const char* target) {
    switch (kind) {
    case JournalStep::Move:
        return Replaceable(target);
    case JournalStep::Remove:
        // A directory stays where a file was to be removed.
        return PlatformIsDirectory(target) || Replaceable(target);
    default:
        return PlatformIsDirectory(target) || !Exists(target);
    }
}

} // namespace

bool StagedFilePath(const char* staging, uint32_t staged, char* path, size_t size) {
    return StrFormat(path, size, "%s/%u", staging, unsigned(staged)) <= size;
}

bool JournalWrite(const char* staging, const UpdateJournal& journal) {
    char newPath[kJoinedSize], path[kJoinedSize];
    if (!Join(staging, kJournalNew, newPath) || !Join(staging, kJournal, path))
        return false;
    for (const char* c = journal.toVersion; *c; ++c)
        if (static_cast<unsigned char>(*c) < 0x20)
            return false;
    FILE* file = fopen(newPath, "wb");
    if (!file)
        return false;
    bool written = fprintf(file, "%s\n%s%s\n", kHeader, kVersionTag, journal.toVersion) > 0;
    for (const JournalStep& step : journal.steps) {
        if (step.kind == JournalStep::Move)
            written =
                written && fprintf(file, "m %u %s\n", unsigned(step.staged), step.name.c_str()) > 0;
        else
            written = written && fprintf(file, "%c %s\n", char(step.kind), step.name.c_str()) > 0;
    }
    written = written && fprintf(file, "%s\n", kEnd) > 0 && PlatformSyncFile(file);
    written = fclose(file) == 0 && written;
    if (written && PlatformMoveFile(newPath, path) && PlatformSyncDirectory(staging))
        return true;
    remove(newPath);
    remove(path);
    return false;
}

bool JournalRead(const char* staging, UpdateJournal* journal) {
    char path[kJoinedSize];
    if (!Join(staging, kJournal, path))
        return false;
    FILE* file = fopen(path, "rb");
    if (!file)
        return false;
    journal->steps.clear();
    char line[kLineSize];
    bool sound = ReadLine(file, line) && strcmp(line, kHeader) == 0 && ReadLine(file, line) &&
                 strncmp(line, kVersionTag, sizeof kVersionTag - 1) == 0 &&
                 StrCopy(journal->toVersion, sizeof journal->toVersion,
                         line + sizeof kVersionTag - 1) <= sizeof journal->toVersion;
    bool ended = false;
    std::set<std::string> removed, moved;
    JournalStep step;
    while (sound && !ended && ReadLine(file, line)) {
        ended = strcmp(line, kEnd) == 0;
        if (ended)
            break;
        sound = journal->steps.size() < kJournalMaxSteps && ParseStep(line, &step);
        if (sound && step.kind == JournalStep::Remove)
            removed.insert(FoldedEntryName(step.name));
        if (sound && step.kind == JournalStep::Move)
            moved.insert(FoldedEntryName(step.name));
        if (sound)
            journal->steps.push_back(step);
    }
    // Nothing may follow the end.
    sound = sound && ended && fgetc(file) == EOF;
    fclose(file);
    for (auto it = removed.begin(); sound && it != removed.end(); ++it)
        sound = moved.count(*it) == 0;
    if (!sound)
        journal->steps.clear();
    return sound;
}

bool JournalTargetsFree(const char* root, const UpdateJournal& journal) {
    // Entries of one directory follow each other: its path is checked once for them all, and
    // nothing stands in their way in a directory that is not there yet.
    std::string checked;
    bool parentThere = true;
    for (const JournalStep& step : journal.steps) {
        char target[kJoinedSize];
        const std::string parent = ParentOf(step.name);
        if (!Join(root, step.name.c_str(), target) ||
            (parent != checked && !WalkParents(root, step.name.c_str(), false, &parentThere)))
            return false;
        checked = parent;
        if (parentThere && !TargetFree(step.kind, target))
            return false;
    }
    return true;
}

bool JournalSyncStaged(const char* staging, const UpdateJournal& journal) {
    if (PlatformSyncVolume(staging))
        return true;
    for (const JournalStep& step : journal.steps) {
        char path[kJoinedSize];
        if (step.kind != JournalStep::Move)
            continue;
        FILE* file =
            StagedFilePath(staging, step.staged, path, sizeof path) ? fopen(path, "r+b") : nullptr;
        const bool synced = file && PlatformSyncFile(file);
        if (file)
            fclose(file);
        if (!synced)
            return false;
    }
    return PlatformSyncDirectory(staging);
}

namespace {

// Every directory whose entries the steps changed, from the deepest up to root.
bool SyncChangedDirectories(const char* root, const UpdateJournal& journal) {
    std::set<std::string> changed;
    const size_t rootLength = strlen(root);
    for (const JournalStep& step : journal.steps) {
        char target[kJoinedSize];
        if (!Join(root, step.name.c_str(), target))
            return false;
        for (char* slash = strrchr(target, '/'); slash && size_t(slash - target) >= rootLength;
             slash = strrchr(target, '/')) {
            *slash = '\0';
            changed.insert(target);
        }
    }
    bool synced = true;
    for (auto it = changed.rbegin(); it != changed.rend(); ++it)
        synced = PlatformSyncDirectory(it->c_str()) && synced;
    return synced;
}

} // namespace

bool JournalApply(const char* root, const char* staging, const UpdateJournal& journal) {
    const long stepsBeforeExit = StepsBeforeTestExit();
    long steps = 0;
    std::string made; // the directories last made, once for all the entries in them
    for (const JournalStep& step : journal.steps) {
        if (steps++ == stepsBeforeExit)
            std::_Exit(3);
        const char* name = step.name.c_str();
        char target[kJoinedSize], source[kJoinedSize];
        if (!Join(root, name, target))
            return false;
        bool done = true;
        switch (step.kind) {
        case JournalStep::MakeDirectory:
            done = WalkParents(root, name, true) &&
                   (PlatformMakeDirectory(target) || PlatformIsDirectory(target));
            break;
        case JournalStep::Remove:
            // Only files are removed; a directory of that name stays.
            done = PlatformIsDirectory(target) || remove(target) == 0 || !Exists(target);
            break;
        case JournalStep::Move:
            if (ParentOf(step.name) != made && !WalkParents(root, name, true))
                return false;
            made = ParentOf(step.name);
            // A staged file that is gone was moved before a stop.
            done = StagedFilePath(staging, step.staged, source, sizeof source) &&
                   (PlatformMoveFile(source, target) || !Exists(source));
            break;
        }
        if (!done)
            return false;
    }
    return PlatformSyncVolume(root) || SyncChangedDirectories(root, journal);
}
