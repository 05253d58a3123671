// The core library's virtual file system. It finds a game file by its name without extension
// and its type (extension), whether it lies loose on disk or inside a pack data file, and hands
// it out as an open FileStream or a MemoryFile. Its knowledge comes from an index file, from
// the headers of pack data files, or from files registered one by one; SaveIndex writes it back
// as an index file with a checksum table and a versions file.
//
// Packs become known (LoadIndex, AddPack, Register) and are then mounted into at most 16 slots;
// FindFile searches the mounted packs in mount order, so earlier mounts shadow later ones. The
// unnamed pack (empty name and path) holds registered loose files and is mounted by Init.
//
// One thread at a time: nothing is locked. The caller owns every FileStream (Close) and
// MemoryFile (Release) handed out.
#pragma once

#include "core/files/PackIndexFile.h"
#include "core/files/PackRecord.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

struct FileStream;
struct MemoryFile;

// A file handed out while recording: name and extension, cut to 32 and 7 characters.
struct AccessRecord {
    char name[NameKey::kTextSize];
    char extension[8];
};

// Called with a file's name (as its key holds it: lower case, at most 32 characters) and its
// path; returns true to go on, false to stop.
using FileVisitor = std::function<bool(const char* name, const char* path)>;

struct MountSlot {
    PackRecord* pack;
    FileStream* stream;   // the open data file, or null
    int32_t lastPosition; // where loads left the stream; -1 when unknown
};

class FileService {
public:
    static constexpr int kMaxMounted = 16;

    FileService() = default;
    ~FileService();
    FileService(const FileService&) = delete;
    FileService& operator=(const FileService&) = delete;

    // With an index path, loads it (false if that fails); without, creates the unnamed pack.
    // Then mounts the unnamed pack.
    bool Init(const char* indexPath);
    // Adds the packs of an index file. False when it cannot be read or fails a check (then
    // nothing is added); a file with another magic or version adds no packs and succeeds.
    // The tables are copied out of the file, so later changes to them are safe.
    bool LoadIndex(const char* path);

    // Registers a file of a directory: a .pack file as a pack (unless its name is known), a
    // file of a known type as a loose file of the unnamed pack (unless FindFile already finds
    // it). The extension is lowered, so the entry's path carries the lowered extension.
    void Register(const char* directory, const char* fileName);
    // A new pack with the name's key and the path directory + name + ".pack" (empty when the
    // directory is).
    PackRecord* AddPack(const char* directory, const char* name);
    // Appends an entry (path directory + name + "." + extension) to the pack with the name;
    // nothing when there is no such pack or it failed to load.
    void AddFile(const char* packName, const char* directory, const char* name,
                 const char* extension, uint32_t offset, uint32_t size);
    // One of the 33 known types, compared without regard to case.
    static bool IsKnownType(const char* extension);

    // Mounts (mount true) or unmounts the pack with the name. Mounting reads the pack's data
    // file unless its tables are present: false when that fails (the pack is marked failed and
    // its path remembered as missing when it could not be opened) and when all 16 slots are
    // taken. Mounting an unknown or already mounted pack, and unmounting the unnamed pack or
    // one not mounted, do nothing and succeed. Unmounting releases the pack's tables.
    bool Mount(const char* packName, bool mount);

    PackRecord* FindPack(const char* name);
    // The entry of the first mounted pack that has the name (compared without regard to case,
    // on 32 characters) and the type (case sensitive); its slot number goes to *slot when
    // slot is not null. The entry stays valid until the pack's tables change.
    const PackEntry* FindFile(const char* name, const char* extension, int32_t* slot);
    const char* FindFilePath(const char* name, const char* extension);

    // The file as a stream of its own (a window into its data file for a packed file).
    FileStream* OpenFile(const char* name, const char* extension, const char* sourceFile,
                         int32_t sourceLine);
    // The file loaded into memory. A packed file is read through its slot's stream, which is
    // opened here when the pack's tables came from an index; back-to-back loads skip the seek.
    MemoryFile* LoadMemoryFile(const char* name, const char* extension, bool chunked,
                               const char* sourceFile, int32_t sourceLine);
    static FileStream* OpenPlainFile(const char* path, int32_t mode, const char* sourceFile,
                                     int32_t sourceLine);
    static MemoryFile* LoadPlainMemoryFile(const char* path, bool chunked, const char* sourceFile,
                                           int32_t sourceLine);

    // Visits the files of the type in every mounted pack, in mount and table order; false as
    // soon as the visitor says stop.
    bool ForEachFile(const char* extension, const FileVisitor& visitor);
    // The same for the first mounted pack with the name only.
    bool ForEachFileInPack(const char* packName, const char* extension, const FileVisitor& visitor);

    // While recording, OpenFile and LoadMemoryFile note each file they find, once.
    void StartRecording();
    void StopRecording();
    const std::vector<AccessRecord>& GetAccessList() const { return accessList; }

    // Writes every known pack as an index file (big-endian numbers on request); with
    // checksumTable, the file "table" in the working directory with the checksums of the first
    // pack's entries, type by type, each type's entries last to first; with a version source and
    // text, sets the source's record in its versions file. False when a file that was to be
    // written could not be written whole (the other steps still run).
    bool SaveIndex(const char* indexPath, bool bigEndian, bool checksumTable,
                   const char* versionSource, const char* versionText);

    const char* MissingPack() const { return missingPack; }
    const PackList& Packs() const { return packs; }
    int32_t MountedCount() const { return mountedCount; }
    // Slot i of the mounted packs, 0 <= i < MountedCount().
    const MountSlot& Slot(int32_t i) const { return slots[i]; }

private:
    bool LoadPack(MountSlot* slot);
    // The slot's stream positioned at the entry's data, opened when the slot has none for it.
    FileStream* PositionSlot(MountSlot* slot, const PackEntry& entry);
    void Record(const char* name, const char* extension);
    bool WriteChecksumTable();
    bool WriteVersion(const char* source, const char* text);

    char missingPack[PackFormat::kPathSize] = {};
    PackList packs;
    int32_t mountedCount = 0;
    MountSlot slots[kMaxMounted] = {};
    bool recording = false;
    std::vector<AccessRecord> accessList;
    std::unordered_set<std::string> accessKeys; // lowered name and extension of each record
};
