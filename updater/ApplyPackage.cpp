// One package: received into the staging folder and extracted as it arrives, or from its file
// when it cannot be.
#include "core/platform/Directory.h"
#include "updater/DownloadProgress.h"
#include "updater/PackageFile.h"
#include "updater/PackageHash.h"
#include "updater/PackageStream.h"
#include "updater/PartialPackage.h"
#include "updater/StreamFeeder.h"
#include "updater/TransferResume.h"
#include "updater/UpdateJournal.h"
#include "updater/Updater.h"
#include "updater/UpdaterServices.h"

#include <cstdio>

bool Updater::ApplyPackage(CURL* handle, const UpdateRecord& record) {
    downloadTotal.store(0.0f, std::memory_order_relaxed);
    downloadNow.store(0.0f, std::memory_order_relaxed);
    state.store(Downloading, std::memory_order_release);

    // Under a key the signed list vouches for a package only through its hash.
    ListedPackage listed, delta;
    const bool hasDelta = record.delta[0] != '\0';
    if (!ReadListedPackage(record, &listed) || (listKey[0] && !listed.hasHash) ||
        (hasDelta && (!ReadListedDelta(record, &delta) || (listKey[0] && !delta.hasHash)))) {
        ShowError(errDownloadUpdate);
        return false;
    }
    // A delta fits only the files it was made from: a modded or damaged installation takes the
    // whole package instead.
    if (hasDelta) {
        bool basisMismatch = false;
        const PackageSource source{record.delta, record.deltaSize, record.deltaSha256};
        if (ReceiveAndExtract(handle, source, delta, record.toVersion, &basisMismatch))
            return true;
        if (!basisMismatch)
            return false;
        downloadTotal.store(0.0f, std::memory_order_relaxed);
        downloadNow.store(0.0f, std::memory_order_relaxed);
        state.store(Downloading, std::memory_order_release);
    }
    const PackageSource source{record.file, record.size, record.sha256};
    return ReceiveAndExtract(handle, source, listed, record.toVersion, nullptr);
}

bool Updater::ReceiveAndExtract(CURL* handle, const PackageSource& source,
                                const ListedPackage& listed, const char* toVersion,
                                bool* basisMismatch) {
    char root[kPathSize], staging[PartialPackage::kPathSize];
    if (!PlatformCurrentDirectory(root, sizeof root) ||
        !CurrentStagingFolder(staging, sizeof staging)) {
        ShowError(errDownloadUpdate);
        return false;
    }
    extractedBytes.store(0.0f, std::memory_order_relaxed);
    extractTotalBytes.store(0.0f, std::memory_order_relaxed);
    PartialPackage partial;
    // Asking the disk for every entry costs as much as writing a small one: what it said is
    // trusted until the entries let in since add up to an eighth of it.
    uint64_t freeBytes = 0, grantedSince = 0;
    PackageStream stream(staging, &extractedBytes, [&](uint64_t bytes) {
        if (grantedSince + bytes >= freeBytes / 8) {
            grantedSince = 0;
            if (!services->DiskFreeBytes(staging, &freeBytes))
                freeBytes = 0;
        }
        if (grantedSince + bytes >= freeBytes)
            return false;
        grantedSince += bytes;
        return true;
    });
    {
        StreamFeeder feeder(&stream);
        if (const char* failure =
                ReceivePackage(handle, source, listed, staging, &partial, &feeder)) {
            ShowError(failure);
            return false;
        }
        feeder.Finish();
    }
    state.store(Extracting, std::memory_order_release);
    bool applied = false;
    switch (stream.outcome()) {
    case PackageStream::Extracted:
        extractTotalBytes.store(float(stream.stagedBytes), std::memory_order_relaxed);
        // Extracted already: the package's own bytes need never reach the disk.
        remove(partial.path);
        remove(partial.identity);
        applied = ApplyStaged(root, staging, &stream.steps, toVersion);
        break;
    case PackageStream::Contradicted:
        ShowError(errExtracting);
        break;
    default:
        extractedBytes.store(0.0f, std::memory_order_relaxed);
        applied = ExtractPackage(partial.path, toVersion, basisMismatch);
        break;
    }
    // Release: whoever sees the count sees the extraction's last counts.
    extractions.fetch_add(1, std::memory_order_release);
    // A package that did not apply is not kept, unless its journal waits for the next start.
    UpdateJournal journal;
    if (applied || !JournalRead(staging, &journal))
        PlatformRemoveTree(staging);
    return applied;
}

const char* Updater::ReceivePackage(CURL* handle, const PackageSource& source,
                                    const ListedPackage& listed, const char* staging,
                                    PartialPackage* partial, StreamFeeder* feeder) {
    PackageFile target{};
    const bool named = PartialPackageName(partial, staging, source);
    // Kept bytes are only read from a folder of the installation's own, never through a link.
    const bool kept = named && PlatformIsPlainDirectory(staging) && PartialPackageKept(partial);
    if (!named || !StagingClear(staging, kept) ||
        !PackageFileOpen(&target, partial->path, kept, handle, this, &cancelRequested, &listed,
                         feeder)) {
        if (target.file)
            PackageFileClose(&target);
        feeder->Abandon();
        PlatformRemoveTree(staging);
        return errExtracting;
    }
    // Bytes kept beyond the listed size are not this package's; all of it needs no transfer.
    if (!PackageHasherWithinSize(target.hasher, listed))
        PackageFileRestart(&target);
    const bool whole = kept && listed.hasSize && target.hasher.bytes == listed.size;
    const bool received = whole || (target.refusal == PackageFile::None &&
                                    ReceiveResuming(handle, &target, partial, &cancelRequested,
                                                    retryPauseMilliseconds));
    // A refusal of the file is why the transfer ended, so it names the failure.
    const char* failure = nullptr;
    switch (PackageFileClose(&target)) {
    case PackageFile::NoSpace:
        failure = errNeedDiskSpace;
        break;
    case PackageFile::NotWritten:
        failure = errExtracting;
        break;
    case PackageFile::NotListed:
        failure = errDownloadUpdate;
        break;
    case PackageFile::None:
        failure =
            received && PackageHasherMatches(&target.hasher, listed) ? nullptr : errDownloadUpdate;
        break;
    }
    // Bytes of a transfer that broke stay for the next run when they can be continued.
    const bool resumable = !received && target.refusal == PackageFile::None &&
                           partial->validator[0] && target.hasher.bytes > 0;
    if (failure)
        feeder->Abandon();
    if (failure && !resumable)
        PlatformRemoveTree(staging);
    return failure;
}
