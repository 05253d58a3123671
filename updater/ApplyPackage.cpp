// One package: download into a temporary file, extract.
#include "updater/DownloadProgress.h"
#include "updater/PackageFile.h"
#include "updater/PackageHash.h"
#include "updater/Updater.h"
#include "updater/UpdaterServices.h"

#include <curl/curl.h>

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
        if (ReceiveAndExtract(handle, record.delta, delta, record.toVersion, &basisMismatch))
            return true;
        if (!basisMismatch)
            return false;
        downloadTotal.store(0.0f, std::memory_order_relaxed);
        downloadNow.store(0.0f, std::memory_order_relaxed);
        state.store(Downloading, std::memory_order_release);
    }
    return ReceiveAndExtract(handle, record.file, listed, record.toVersion, nullptr);
}

bool Updater::ReceiveAndExtract(CURL* handle, const char* url, const ListedPackage& listed,
                                const char* toVersion, bool* basisMismatch) {
    char tempPath[kTempPathSize];
    if (const char* failure = ReceivePackage(handle, url, listed, tempPath)) {
        ShowError(failure);
        return false;
    }
    extractedBytes.store(0.0f, std::memory_order_relaxed);
    extractTotalBytes.store(0.0f, std::memory_order_relaxed);
    state.store(Extracting, std::memory_order_release);
    const bool applied = ExtractPackage(tempPath, toVersion, basisMismatch);
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
    curl_easy_setopt(handle, CURLOPT_URL, url);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, AppendToFile);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &target);
    const CURLcode received = curl_easy_perform(handle);
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
        failure = received == CURLE_OK && PackageHasherMatches(&target.hasher, listed)
                      ? nullptr
                      : errDownloadUpdate;
        break;
    }
    if (failure)
        remove(tempPath);
    return failure;
}
