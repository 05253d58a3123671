// One package: download into memory, store in a temporary file, extract.
#include "launcher/DownloadBuffer.h"
#include "launcher/DownloadProgress.h"
#include "launcher/Updater.h"

#include <curl/curl.h>

#include <cstdio>

bool Updater::ApplyPackage(CURL* handle, const UpdateRecord& record) {
    downloadTotal.store(0.0f, std::memory_order_relaxed);
    downloadNow.store(0.0f, std::memory_order_relaxed);
    extractedBytes.store(0.0f, std::memory_order_relaxed);
    extractTotalBytes.store(0.0f, std::memory_order_relaxed);
    state.store(Downloading, std::memory_order_release);

    DownloadBuffer package;
    if (!DownloadBufferCreate(&package, &cancelRequested, receiveLimit)) {
        ShowError(errDownloadUpdate);
        return false;
    }
    curl_easy_setopt(handle, CURLOPT_URL, record.file);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &package);
    const CURLcode received = curl_easy_perform(handle);
    if (received != CURLE_OK) {
        DownloadBufferRelease(&package);
        ShowError(errDownloadUpdate);
        return false;
    }

    char tempPath[kTempPathSize];
    const char* failure = StoreInTempFile(package, tempPath);
    DownloadBufferRelease(&package);
    if (failure) {
        ShowError(failure);
        return false;
    }

    state.store(Extracting, std::memory_order_release);
    const bool applied = ExtractPackage(tempPath);
    remove(tempPath);
    return applied;
}
