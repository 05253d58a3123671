// One package: download into a temporary file, extract.
#include "updater/DownloadProgress.h"
#include "updater/PackageFile.h"
#include "updater/PackageHash.h"
#include "updater/TransferResume.h"
#include "updater/Updater.h"
#include "updater/UpdaterServices.h"

#include <cstdio>

bool Updater::ApplyPackage(CURL* handle, const UpdateRecord& record) {
    downloadTotal.store(0.0f, std::memory_order_relaxed);
    downloadNow.store(0.0f, std::memory_order_relaxed);
    state.store(Downloading, std::memory_order_release);

    // Under a key the signed list vouches for a package only through its hash.
    ListedPackage listed;
    if (!ReadListedPackage(record, &listed) || (listKey[0] && !listed.hasHash)) {
        ShowError(errDownloadUpdate);
        return false;
    }
    char tempPath[kTempPathSize];
    if (const char* failure = ReceivePackage(handle, record.file, listed, tempPath)) {
        ShowError(failure);
        return false;
    }
    extractedBytes.store(0.0f, std::memory_order_relaxed);
    extractTotalBytes.store(0.0f, std::memory_order_relaxed);
    state.store(Extracting, std::memory_order_release);
    const bool applied = ExtractPackage(tempPath, record.toVersion);
    // Release: whoever sees the count sees the extraction's last counts.
    extractions.fetch_add(1, std::memory_order_release);
    remove(tempPath);
    return applied;
}

const char* Updater::ReceivePackage(CURL* handle, const char* url, const ListedPackage& listed,
                                    char (&tempPath)[kTempPathSize]) {
    if (!services->CreateTempFile(tempPath, sizeof tempPath))
        return errExtracting;
    PackageFile target;
    if (!PackageFileOpen(&target, tempPath, handle, this, &cancelRequested, &listed)) {
        remove(tempPath);
        return errExtracting;
    }
    const bool received =
        ReceiveResuming(handle, url, &target, &cancelRequested, retryPauseMilliseconds);
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
    if (failure)
        remove(tempPath);
    return failure;
}
