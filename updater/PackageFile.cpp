#include "updater/PackageFile.h"

#include "updater/StreamFeeder.h"
#include "updater/Updater.h"

#include <curl/curl.h>

#include <cerrno>

namespace {

// Large blocks: the file is written in few system calls whatever pieces libcurl delivers.
constexpr size_t kWriteBuffer = 1 << 20;

PackageFile::Refusal WriteFailure() {
    return errno == ENOSPC ? PackageFile::NoSpace : PackageFile::NotWritten;
}

// Hashes the bytes an earlier transfer kept and hands them to the feeder, as if they arrived.
bool TakeKeptBytes(PackageFile* target) {
    StreamFeeder* feeder = target->feeder;
    return PackageHasherAddFile(&target->hasher, target->path,
                                [feeder](const char* block, size_t count) {
                                    if (feeder)
                                        feeder->Add(block, count);
                                });
}

} // namespace

bool PackageFileOpen(PackageFile* target, const char* path, bool keep, CURL* handle,
                     Updater* updater, const std::atomic<bool>* cancel, const ListedPackage* listed,
                     StreamFeeder* feeder) {
    *target = PackageFile{path,   nullptr,         handle, updater, cancel,
                          listed, PackageHasher{}, feeder, false,   PackageFile::None};
    PackageHasherStart(&target->hasher, listed->hasHash);
    if (keep && !TakeKeptBytes(target))
        return false;
    target->file = fopen(path, keep ? "ab" : "wb");
    if (target->file)
        setvbuf(target->file, nullptr, _IOFBF, kWriteBuffer);
    return target->file != nullptr;
}

bool PackageFileRestart(PackageFile* target) {
    PackageHasherStart(&target->hasher, target->listed->hasHash);
    if (target->feeder)
        target->feeder->Restart();
    target->lengthChecked = false;
    target->file = freopen(target->path, "wb", target->file);
    if (!target->file) {
        target->refusal = PackageFile::NotWritten;
        return false;
    }
    setvbuf(target->file, nullptr, _IOFBF, kWriteBuffer);
    return true;
}

PackageFile::Refusal PackageFileClose(PackageFile* target) {
    if (!target->file)
        return target->refusal;
    // A full disk often shows only when the buffer is handed over.
    errno = 0;
    if (fflush(target->file) != 0 && target->refusal == PackageFile::None)
        target->refusal = WriteFailure();
    if (fclose(target->file) != 0 && target->refusal == PackageFile::None)
        target->refusal = WriteFailure();
    target->file = nullptr;
    return target->refusal;
}

size_t AppendToFile(void* piece, size_t itemSize, size_t itemCount, void* state) {
    PackageFile* target = static_cast<PackageFile*>(state);
    if (target->cancel->load(std::memory_order_relaxed))
        return 0;
    if (!target->lengthChecked) {
        target->lengthChecked = true;
        curl_off_t announced = -1;
        if (curl_easy_getinfo(target->handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) ==
                CURLE_OK &&
            announced >= 0 && !target->updater->HasFreeSpace(target->path, uint64_t(announced))) {
            target->refusal = PackageFile::NoSpace;
            return 0;
        }
    }
    const size_t count = itemSize * itemCount;
    PackageHasherAdd(&target->hasher, piece, count);
    if (!PackageHasherWithinSize(target->hasher, *target->listed)) {
        target->refusal = PackageFile::NotListed;
        return 0;
    }
    errno = 0;
    if (fwrite(piece, 1, count, target->file) != count) {
        target->refusal = WriteFailure();
        return 0;
    }
    if (target->feeder)
        target->feeder->Add(piece, count);
    return count;
}
