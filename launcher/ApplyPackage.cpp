// One package: download into a temporary file, extract.
#include "launcher/DownloadProgress.h"
#include "launcher/PackageFile.h"
#include "launcher/Updater.h"
#include "launcher/UpdaterServices.h"

#include <curl/curl.h>

#include <cstdio>

bool Updater::ApplyPackage(CURL* handle, const UpdateRecord& record) {
    downloadTotal.store(0.0f, std::memory_order_relaxed);
    downloadNow.store(0.0f, std::memory_order_relaxed);
    extractedBytes.store(0.0f, std::memory_order_relaxed);
    extractTotalBytes.store(0.0f, std::memory_order_relaxed);
    state.store(Downloading, std::memory_order_release);

    char tempPath[kTempPathSize];
    if (const char* failure = ReceivePackage(handle, record.file, tempPath)) {
        ShowError(failure);
        return false;
    }
    state.store(Extracting, std::memory_order_release);
    const bool applied = ExtractPackage(tempPath);
    remove(tempPath);
    return applied;
}

const char* Updater::ReceivePackage(CURL* handle, const char* url,
                                    char (&tempPath)[kTempPathSize]) {
    if (!services->CreateTempFile(tempPath, sizeof tempPath))
        return errExtracting;
    PackageFile target;
    if (!PackageFileOpen(&target, tempPath, handle, this, &cancelRequested)) {
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
    case PackageFile::None:
        failure = received == CURLE_OK ? nullptr : errDownloadUpdate;
        break;
    }
    if (failure)
        remove(tempPath);
    return failure;
}
