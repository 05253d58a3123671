// Applying a stored package to the installation directory (the current directory). The
// archive is walked twice: once to check every name, method and the directory and to add up
// the sizes, once to extract every file into the staging folder, flushed. Only then is the
// journal written and done: the installation changes once the whole package is on disk.
// Sizes and offsets are 64-bit, so zip64 packages apply.
#include "core/platform/Directory.h"
#include "core/platform/FileReplace.h"
#include "core/strings/BoundedText.h"
#include "updater/DeltaEntry.h"
#include "updater/DeltaPatch.h"
#include "updater/EntryPath.h"
#include "updater/PackageSteps.h"
#include "updater/PartialPackage.h"
#include "updater/RemovalRecord.h"
#include "updater/UpdateDocuments.h"
#include "updater/UpdateJournal.h"
#include "updater/Updater.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// Large blocks: few calls into the reader and the system per entry.
constexpr size_t kReadBlock = 1 << 20;

// Stored and deflated entries are what the reader decodes; any other method, and encryption,
// would land on disk as the bytes of the archive. A size of 0xFFFFFFFF stands for a zip64
// size the reader did not take from the entry's extra field (a missing field, or a reader
// built for 64-bit long that misses it): the entry would be cut short.
bool IsDecodable(const unz_file_info64& info) {
    return (info.compression_method == 0 || info.compression_method == Z_DEFLATED) &&
           (info.flag & 1) == 0 && info.compressed_size != 0xFFFFFFFFu &&
           info.uncompressed_size != 0xFFFFFFFFu;
}

// Whether a walk that ended with walk covered the whole directory. The reader keeps walking
// past an entry count of 0xFFFF (more may follow), so there the end is an unreadable header
// after all those entries.
bool WalkedToTheEnd(unzFile archive, int walk, uint64_t walked) {
    unz_global_info64 global;
    return walk == UNZ_END_OF_LIST_OF_FILE ||
           (unzGetGlobalInfo64(archive, &global) == UNZ_OK && global.number_entry == 0xFFFF &&
            walked >= global.number_entry);
}

// Copies the open entry into a new file at target. A damaged stream,
// data that end before the entry's size, a checksum that does not match or a write that does
// not reach the disk fail.
bool ExtractEntry(unzFile archive, const unz_file_info64& info, const char* target, char* block,
                  std::atomic<float>* extracted) {
    FILE* out = fopen(target, "wb");
    if (!out)
        return false;
    uint64_t written = 0;
    bool ok = true;
    for (;;) {
        const int count = unzReadCurrentFile(archive, block, unsigned(kReadBlock));
        if (count <= 0) {
            ok = count == 0 && written == info.uncompressed_size;
            break;
        }
        AddExtracted(extracted, count);
        if (fwrite(block, 1, size_t(count), out) != size_t(count)) {
            ok = false;
            break;
        }
        written += unsigned(count);
    }
    return fclose(out) == 0 && ok;
}

// The open entry's data, when they are a removal record of at most its largest size.
bool ReadRemovalRecord(unzFile archive, const unz_file_info64& info, std::string* data,
                       std::atomic<float>* extracted) {
    if (info.uncompressed_size > kRemovalRecordMaxBytes)
        return false;
    data->resize(size_t(info.uncompressed_size));
    const int count =
        data->empty() ? 0 : unzReadCurrentFile(archive, &(*data)[0], unsigned(data->size()));
    if (count != int(data->size()))
        return false;
    AddExtracted(extracted, count);
    return true;
}

// The zip reader refuses an archive whose end record is its first byte, and that is what an
// archive without entries is. It is a package that changes nothing.
bool IsEmptyArchive(const char* path) {
    FILE* file = fopen(path, "rb");
    if (!file)
        return false;
    unsigned char end[22];
    const bool read = fread(end, 1, sizeof end, file) == sizeof end;
    const bool sized = read && fseek(file, 0, SEEK_END) == 0;
    const long length = sized ? ftell(file) : -1;
    fclose(file);
    auto field = [&end](int at) { return unsigned(end[at]) | unsigned(end[at + 1]) << 8; };
    return sized && end[0] == 'P' && end[1] == 'K' && end[2] == 5 && end[3] == 6 && field(8) == 0 &&
           field(10) == 0 && length == long(sizeof end + field(20));
}

} // namespace

bool Updater::ExtractPackage(const char* archivePath, const char* toVersion, bool* basisMismatch) {
    unzFile archive = unzOpen64(archivePath);
    if (!archive) {
        if (IsEmptyArchive(archivePath))
            return true;
        ShowError(errExtracting);
        return false;
    }

    // Size pass: every name, every method and the directory itself are checked before anything
    // is written.
    uint64_t total = 0;
    uint64_t walked = 0;
    bool sound = true;
    unz_file_info64 info;
    char name[kEntryNameSize];
    int walk = unzGoToFirstFile(archive);
    for (; walk == UNZ_OK && sound; walk = unzGoToNextFile(archive), ++walked) {
        sound = unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr,
                                        0) == UNZ_OK &&
                info.size_filename < sizeof name && IsDecodable(info);
        // A delta entry makes a file of the size its header names.
        const char* patched = sound ? DeltaTargetName(name) : nullptr;
        uint64_t size = info.uncompressed_size;
        sound = sound && IsSafeEntryName(patched ? patched : name) &&
                (!patched || DeltaResultSize(archive, &size));
        // Claimed sizes may add up past 64 bits; the sum then stays at the most there is.
        if (sound)
            total += std::min<uint64_t>(size, UINT64_MAX - total);
    }
    sound = sound && WalkedToTheEnd(archive, walk, walked);
    extractTotalBytes.store(float(total), std::memory_order_relaxed);
    char root[kPathSize];
    if (!sound || !PlatformCurrentDirectory(root, sizeof root)) {
        unzClose(archive);
        ShowError(errExtracting);
        return false;
    }
    if (!HasFreeSpace(root, total)) {
        unzClose(archive);
        ShowError(errNeedDiskSpace);
        return false;
    }

    char staging[kPathSize + sizeof kStagingFolder + 1];
    StrFormat(staging, sizeof staging, "%s/%s", root, kStagingFolder);
    // Whatever an earlier run left there is not this package's, but for the package itself.
    std::unique_ptr<char[]> block(new (std::nothrow) char[kReadBlock]);
    bool failed = !block || !StagingClear(staging, true);
    PackageSteps steps;
    bool mismatch = false;
    uint32_t index = 0;
    for (walk = unzGoToFirstFile(archive); walk == UNZ_OK && !failed;
         walk = unzGoToNextFile(archive), ++index) {
        char relative[kEntryNameSize], target[sizeof staging + 16];
        bool directory = false;
        std::string record;
        failed = unzOpenCurrentFile(archive) != UNZ_OK ||
                 unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr,
                                         0) != UNZ_OK;
        if (failed)
            break;
        const bool isRecord = strcmp(name, kRemovalRecordName) == 0 &&
                              ReadRemovalRecord(archive, info, &record, &extractedBytes) &&
                              RemovalRecordNames(record, &steps.removed);
        const char* patched = DeltaTargetName(name);
        if (patched) {
            const DeltaOutcome outcome =
                StageDeltaEntry(archive, root, staging, index, patched, relative, &extractedBytes);
            failed = outcome != DeltaOutcome::Applied;
            mismatch = outcome == DeltaOutcome::BasisMismatch;
            steps.Add(JournalStep::Move, index, relative);
        } else if (!isRecord && EntryRelativeName(name, relative, sizeof relative, &directory)) {
            // A name of separators only has nothing to make.
            failed =
                !directory && (!StagedFilePath(staging, index, target, sizeof target) ||
                               !ExtractEntry(archive, info, target, block.get(), &extractedBytes));
            steps.Add(directory ? JournalStep::MakeDirectory : JournalStep::Move, index, relative);
        }
        // Reports a checksum that does not match the data read.
        failed = unzCloseCurrentFile(archive) != UNZ_OK || failed;
    }
    if (failed || !WalkedToTheEnd(archive, walk, index)) {
        unzClose(archive);
        PlatformRemoveTree(staging);
        if (mismatch && basisMismatch)
            *basisMismatch = true;
        else
            ShowError(errExtracting);
        return false;
    }
    unzClose(archive);
    return ApplyStaged(root, staging, &steps, toVersion);
}

bool Updater::ApplyStaged(const char* root, const char* staging, PackageSteps* steps,
                          const char* toVersion) {
    UpdateJournal journal;
    StrCopy(journal.toVersion, sizeof journal.toVersion, toVersion);
    if (!steps->MoveInto(&journal) || !JournalSyncStaged(staging, journal) ||
        !JournalTargetsFree(root, journal) || !JournalWrite(staging, journal)) {
        PlatformRemoveTree(staging);
        ShowError(errExtracting);
        return false;
    }
    // From here the next start completes what a stop leaves undone.
    if (!JournalApply(root, staging, journal)) {
        ShowError(errExtracting);
        return false;
    }
    // Unrecorded, the files would be the new version under the old one's name: the journal
    // stays, and the next start records the version as it completes it.
    if (!WriteInstalledUpdates(kInstalledUpdates, toVersion)) {
        ShowError(errExtracting);
        return false;
    }
    PlatformRemoveTree(staging);
    return true;
}
