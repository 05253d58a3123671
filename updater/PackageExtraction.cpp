// Extracting a stored package into the installation directory (the current directory). The
// archive is walked twice: once to check every name, method and the directory and to add up
// the sizes, once to extract. Sizes and offsets are 64-bit, so zip64 packages apply.
#include "core/platform/Directory.h"
#include "updater/EntryPath.h"
#include "updater/Updater.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

namespace {

// Large blocks: few calls into the reader and the system per entry.
constexpr size_t kReadBlock = 1 << 20;

enum class EntryResult { Written, Skipped, Failed };

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

// Copies the open entry into the file at target. A target that cannot be opened is skipped
// (the running launcher's own executable, for one); a damaged stream, data that end before
// the entry's size, a checksum that does not match or a write that does not reach the disk
// fail.
EntryResult ExtractEntry(unzFile archive, const unz_file_info64& info, const char* target,
                         char* block, std::atomic<float>* extracted) {
    FILE* out = fopen(target, "wb");
    if (!out)
        return EntryResult::Skipped;
    uint64_t written = 0;
    bool ok = true;
    for (;;) {
        const int count = unzReadCurrentFile(archive, block, unsigned(kReadBlock));
        if (count <= 0) {
            ok = count == 0 && written == info.uncompressed_size;
            break;
        }
        extracted->store(extracted->load(std::memory_order_relaxed) + float(count),
                         std::memory_order_relaxed);
        if (fwrite(block, 1, size_t(count), out) != size_t(count)) {
            ok = false;
            break;
        }
        written += unsigned(count);
    }
    if (fclose(out) != 0)
        ok = false;
    return ok ? EntryResult::Written : EntryResult::Failed;
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

bool Updater::ExtractPackage(const char* archivePath) {
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
                info.size_filename < sizeof name && IsSafeEntryName(name) && IsDecodable(info);
        // Claimed sizes may add up past 64 bits; the sum then stays at the most there is.
        if (sound)
            total += std::min<uint64_t>(info.uncompressed_size, UINT64_MAX - total);
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

    std::unique_ptr<char[]> block(new (std::nothrow) char[kReadBlock]);
    bool failed = !block;
    uint64_t extracted = 0;
    for (walk = unzGoToFirstFile(archive); walk == UNZ_OK && !failed;
         walk = unzGoToNextFile(archive), ++extracted) {
        EntryResult result = EntryResult::Failed;
        char target[2 * kEntryNameSize + 8];
        if (unzOpenCurrentFile(archive) == UNZ_OK &&
            unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) ==
                UNZ_OK)
            result = PrepareEntryTarget(root, name, target, sizeof target)
                         ? ExtractEntry(archive, info, target, block.get(), &extractedBytes)
                         : EntryResult::Skipped;
        // Reports a checksum that does not match the data read.
        if (unzCloseCurrentFile(archive) != UNZ_OK && result == EntryResult::Written)
            result = EntryResult::Failed;
        failed = result == EntryResult::Failed;
    }
    failed = failed || !WalkedToTheEnd(archive, walk, extracted);
    unzClose(archive);
    if (failed)
        ShowError(errExtracting);
    return !failed;
}
