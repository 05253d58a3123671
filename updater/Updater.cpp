// The update run: configuration, rights, list, update loop, "installed_updates".
#include "updater/Updater.h"

#include "core/platform/Directory.h"
#include "core/strings/BoundedText.h"
#include "core/strings/TextCompare.h"
#include "updater/DownloadBuffer.h"
#include "updater/DownloadProgress.h"
#include "updater/ListSignature.h"
#include "updater/PartialPackage.h"
#include "updater/StoredFile.h"
#include "updater/UpdateDocuments.h"
#include "updater/UpdaterServices.h"

// The progress function keeps the double-argument form its callers read.
#define CURL_DISABLE_DEPRECATION
#include <curl/curl.h>

#include <cstdio>
#include <string>

namespace {
constexpr const char kUserAgent[] = "libcurl-agent/1.0";
constexpr const char kListParseError[] = "xml parse error";
constexpr long kReceiveBlock = 512 * 1024;
constexpr const char kSignatureSuffix[] = ".minisig";
} // namespace

Updater::Updater()
    : state(Checking), extractedBytes(0.0f), extractTotalBytes(0.0f), newLauncher(false),
      services(&SystemUpdaterServices()) {
    iniPath[0] = appPath[0] = currentVersion[0] = '\0';
    launcherUpdaterPath[0] = launcherMarkerPath[0] = '\0';
    for (char* url : serverUrl)
        url[0] = '\0';
    errCaption[0] = errNotAdmin[0] = errNoConnection[0] = '\0';
    errDownloadUpdate[0] = errNeedDiskSpace[0] = errExtracting[0] = '\0';
    errSignature[0] = listKey[0] = '\0';
}

Updater::~Updater() {
    cancelRequested.store(true);
    Stop();
}

int32_t Updater::Start(int32_t priorityMode) {
    const int32_t started = ThreadWorker::Start(priorityMode);
    if (started < 0)
        Finish(Aborted);
    return started;
}

void Updater::Prepare() {
    newLauncher.store(false, std::memory_order_relaxed);
    currentVersion[0] = '\0';
    cancelRequested.store(false);
    state.store(Checking, std::memory_order_release);
}

bool Updater::HasFreeSpace(const char* path, uint64_t neededBytes) {
    uint64_t freeBytes = 0;
    return services->DiskFreeBytes(path, &freeBytes) && neededBytes < freeBytes;
}

const char* Updater::StoreInTempFile(const DownloadBuffer& received,
                                     char (&tempPath)[kTempPathSize]) {
    if (!services->CreateTempFile(tempPath, sizeof tempPath))
        return errExtracting;
    const char* failure = nullptr;
    if (!HasFreeSpace(tempPath, received.size))
        failure = errNeedDiskSpace;
    else if (!StoreInFile(tempPath, received.data, received.size))
        failure = errExtracting;
    if (failure)
        remove(tempPath);
    return failure;
}

void Updater::ShowError(const char* text) {
    // Whoever asked the update to stop is not waiting for a box.
    if (!cancelRequested.load())
        services->ShowMessage(messageOwner, text, errCaption);
}

void Updater::Finish(UpdaterState final) {
    state.store(final, std::memory_order_release);
}

const char* Updater::DownloadList(CURL* handle, DownloadBuffer* list) {
    for (const char* url : serverUrl) {
        if (cancelRequested.load())
            return nullptr;
        // Bytes of an attempt that failed midway must not end up in front of the list.
        DownloadBufferClear(list);
        curl_easy_setopt(handle, CURLOPT_URL, url);
        if (curl_easy_perform(handle) == CURLE_OK)
            return url;
    }
    return nullptr;
}

bool Updater::ListSigned(CURL* handle, const char* url, const DownloadBuffer& list) {
    ListKey key;
    DownloadBuffer signature;
    if (!ListKeyParse(listKey, &key) ||
        !DownloadBufferCreate(&signature, &cancelRequested, kSignatureMaxBytes))
        return false;
    const std::string signatureUrl = std::string(url) + kSignatureSuffix;
    curl_easy_setopt(handle, CURLOPT_URL, signatureUrl.c_str());
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &signature);
    // An error page in place of the signature fails the check like any other text.
    const bool valid =
        curl_easy_perform(handle) == CURLE_OK &&
        ListSignatureValid(key, list.data, list.size, signature.data, signature.size);
    DownloadBufferRelease(&signature);
    return valid;
}

void Updater::Run() {
    ReadConfiguration();
    curl_global_init(CURL_GLOBAL_ALL);
    if (!services->IsUserAdmin()) {
        ShowError(errNotAdmin);
        curl_global_cleanup();
        Finish(Aborted);
        return;
    }
    // Nothing is applied over an update that could not be completed.
    if (!RecoverInstallation()) {
        ShowError(errExtracting);
        curl_global_cleanup();
        Finish(Aborted);
        return;
    }

    DownloadBuffer list;
    CURL* handle =
        DownloadBufferCreate(&list, &cancelRequested, receiveLimit) ? curl_easy_init() : nullptr;
    if (handle) {
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, AppendToBuffer);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &list);
        curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent);
        curl_easy_setopt(handle, CURLOPT_PROGRESSFUNCTION, DownloadProgress);
        curl_easy_setopt(handle, CURLOPT_PROGRESSDATA, &cancelRequested);
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
        // Without these a server that stops answering would hold the launcher forever.
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, stallSeconds);
        // Fewer, larger pieces for the package files.
        curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBlock);
    }
    // Cleans up and publishes Aborted after an error before the update loop.
    auto giveUp = [&](const char* text) {
        ShowError(text);
        DownloadBufferRelease(&list);
        curl_easy_cleanup(handle);
        curl_global_cleanup();
        Finish(Aborted);
    };
    const char* answered = handle ? DownloadList(handle, &list) : nullptr;
    if (!answered)
        return giveUp(errNoConnection);
    if (listKey[0] && !ListSigned(handle, answered, list))
        return giveUp(errSignature);

    char tempPath[kTempPathSize];
    if (const char* failure = StoreInTempFile(list, tempPath))
        return giveUp(failure);
    DownloadBufferRelease(&list);

    UpdateList updates;
    if (!ReadUpdateList(tempPath, &updates)) {
        remove(tempPath);
        return giveUp(kListParseError);
    }

    // One pass in document order: a chain listed in ascending order is applied in one run.
    // Only an entry for the installed version is applied, so an older list, even one the
    // studio signed, replayed by whoever controls the traffic cannot take the installation back
    // to an earlier version: it has no entry that starts from where the installation is now.
    bool applying = false;
    for (const UpdateRecord& update : updates) {
        if (cancelRequested.load())
            break;
        if (!StrEqualNoCase(update.forVersion, currentVersion))
            continue;
        applying = true;
        if (!ApplyPackage(handle, update))
            break;
        StrCopy(currentVersion, sizeof currentVersion, update.toVersion);
        if (FILE* marker = fopen(launcherMarkerPath, "r")) {
            fclose(marker);
            newLauncher.store(true, std::memory_order_relaxed);
            break;
        }
    }
    // Bytes kept of a package the list no longer leads to are of no use.
    char staging[PartialPackage::kPathSize];
    if (!applying && !cancelRequested.load() && CurrentStagingFolder(staging, sizeof staging))
        PlatformRemoveTree(staging);
    remove(tempPath);
    WriteInstalledUpdates(kInstalledUpdates, currentVersion);
    curl_easy_cleanup(handle);
    curl_global_cleanup();
    Finish(Finished);
}
