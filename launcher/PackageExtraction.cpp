// Extracting a stored package into the installation directory (the current directory). The
// archive is walked twice: once to check every name and add up the sizes, once to extract.
#include "core/platform/Directory.h"
#include "launcher/EntryPath.h"
#include "launcher/Updater.h"

#include <minizip/unzip.h>

#include <cstdio>
#include <memory>
#include <new>

namespace {

constexpr size_t kReadBlock = 65536;

enum class EntryResult { Written, Skipped, Failed };

// Copies the open entry into the file at target. A target that cannot be opened is skipped
// (the running launcher's own executable, for one); a damaged stream, a checksum that does not
// match or a write that does not reach the disk fails.
EntryResult ExtractEntry(unzFile archive, const unz_file_info& info, const char* target,
                         char* block, std::atomic<float>* extracted) {
    FILE* out = fopen(target, "wb");
    if (!out)
        return EntryResult::Skipped;
    bool ok = true;
    if (info.uncompressed_size > 0) {
        for (;;) {
            const int count = unzReadCurrentFile(archive, block, unsigned(kReadBlock));
            if (count <= 0) {
                ok = count == 0;
                break;
            }
            extracted->store(extracted->load(std::memory_order_relaxed) + float(count),
                             std::memory_order_relaxed);
            if (fwrite(block, 1, size_t(count), out) != size_t(count)) {
                ok = false;
                break;
            }
        }
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
    unzFile archive = unzOpen(archivePath);
    if (!archive) {
        if (IsEmptyArchive(archivePath))
            return true;
        ShowError(errExtracting);
        return false;
    }

    // Size pass: every name is checked before anything is written.
    uint64_t total = 0;
    bool namesSafe = true;
    unz_file_info info;
    char name[kEntryNameSize];
    for (int walk = unzGoToFirstFile(archive); walk == UNZ_OK && namesSafe;
         walk = unzGoToNextFile(archive)) {
        if (unzGetCurrentFileInfo(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
            UNZ_OK)
            break;
        namesSafe = info.size_filename < sizeof name && IsSafeEntryName(name);
        total += info.uncompressed_size;
    }
    extractTotalBytes.store(float(total), std::memory_order_relaxed);
    char root[kPathSize];
    if (!namesSafe || !PlatformCurrentDirectory(root, sizeof root)) {
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
    for (int walk = unzGoToFirstFile(archive); walk == UNZ_OK && !failed;
         walk = unzGoToNextFile(archive)) {
        // Entries the reader cannot open (an unknown compression method) are passed over.
        if (unzOpenCurrentFile(archive) != UNZ_OK)
            continue;
        char target[2 * kEntryNameSize + 8];
        EntryResult result = EntryResult::Skipped;
        if (unzGetCurrentFileInfo(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) ==
                UNZ_OK &&
            PrepareEntryTarget(root, name, target, sizeof target))
            result = ExtractEntry(archive, info, target, block.get(), &extractedBytes);
        // Reports a checksum that does not match the data read.
        if (unzCloseCurrentFile(archive) != UNZ_OK && result == EntryResult::Written)
            result = EntryResult::Failed;
        failed = result == EntryResult::Failed;
    }
    unzClose(archive);
    if (failed)
        ShowError(errExtracting);
    return !failed;
}
