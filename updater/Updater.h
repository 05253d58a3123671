// The launcher's worker: on its own thread it reads its settings, fetches the update list from
// the first server that answers, applies every package that continues the installed version,
// records the version reached in "installed_updates" and publishes a final state.
//
// The process entry constructs it, writes iniPath, launcherUpdaterPath and launcherMarkerPath
// (and messageOwner once the splash window exists), calls Start and then only reads the
// published values: state, newLauncher, extractedBytes, extractTotalBytes, extractions and the
// process-wide downloadNow and downloadTotal. Once state reads Aborted or Finished, newLauncher and
// appPath are final too.
//
// Errors go to the user in message boxes (caption errCaption, owner messageOwner) from the
// worker thread, through services.
#pragma once

#include "core/system/ThreadWorker.h"
#include "updater/DownloadBuffer.h"
#include "updater/UpdateRecord.h"
#include "updater/UpdaterState.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

class UpdaterServices;
class StreamFeeder;
struct ListedPackage;
struct PackageSource;
struct PackageSteps;
struct PartialPackage;
typedef void CURL;

class Updater : public ThreadWorker {
public:
    static constexpr int kPathSize = 260;
    static constexpr int kAddressSize = 512;
    static constexpr int kMessageSize = 128;
    static constexpr int kVersionSize = 32;
    static constexpr int kServerCount = 5;
    static constexpr int kTempPathSize = 512;
    static constexpr int kKeySize = 128;
    // Most bytes a list's ".minisig" file may take; minisign's own limits keep it far below.
    static constexpr uint32_t kSignatureMaxBytes = 16 * 1024;
    // The installed version's record, in the working directory.
    static constexpr const char* kInstalledUpdates = "installed_updates";

    Updater();
    // Asks a running update to finish and waits for it, so that the worker never outlives
    // the object: a transfer in progress is abandoned within about a second, also when its
    // server has stalled, no further package is started, and a package being extracted is
    // completed. A box that is open keeps the wait until it is closed.
    ~Updater() override;

    UpdateList installedUpdates; // entries of "installed_updates" as read at the start
    std::atomic<int32_t> state;  // an UpdaterState; stored with release, read with acquire
    char iniPath[kPathSize];
    char serverUrl[kServerCount][kAddressSize];
    char appPath[kAddressSize]; // the game, for the main loop
    char currentVersion[kVersionSize];
    char launcherUpdaterPath[kPathSize];
    char launcherMarkerPath[kPathSize]; // a file there after a package means a new launcher
    char errCaption[kMessageSize];
    char errNotAdmin[kMessageSize];
    char errNoConnection[kMessageSize];
    char errDownloadUpdate[kMessageSize];
    char errNeedDiskSpace[kMessageSize];
    char errExtracting[kMessageSize];
    char errSignature[kMessageSize]; // the list's signature is missing or not valid
    // The studio's minisign public key; when set, only lists it signed and packages whose
    // listed SHA-256 matches are applied.
    char listKey[kKeySize];
    // Of the package being extracted, or the last one until the next extraction starts.
    std::atomic<float> extractedBytes;
    std::atomic<float> extractTotalBytes; // its uncompressed size
    // Extractions ended, so that a short one that no reader saw is still known.
    std::atomic<int32_t> extractions{0};
    std::atomic<bool> newLauncher;

    // Native handle of the window that owns the boxes; null for none.
    void* messageOwner = nullptr;
    // Message boxes, rights, disk space and temporary files; the system's unless replaced.
    UpdaterServices* services;
    // A server that accepts no connection within connectTimeoutSeconds, or sends nothing for
    // stallSeconds during a transfer, has failed. Tests shorten them.
    long connectTimeoutSeconds = 15;
    long stallSeconds = 30;
    // A package transfer that broke is resumed after this pause, doubled while attempts bring
    // nothing new. Tests shorten it.
    uint32_t retryPauseMilliseconds = 500;
    // Most bytes the update list may take in memory; a longer one fails as memory running out
    // does, so that a server cannot exhaust memory with an endless list. Packages go straight
    // to disk. Tests lower it.
    static constexpr uint32_t kListMaxBytes = 1 << 20;
    uint32_t receiveLimit = kListMaxBytes;

    // Starts the run (ThreadWorker::Start). When no thread can be started, nothing runs and
    // the state is published as Aborted at once, so that whoever polls it goes on as after any
    // aborted run; the result is then negative.
    int32_t Start(int32_t priorityMode);

    // Whether the drive of path has more than neededBytes free.
    bool HasFreeSpace(const char* path, uint64_t neededBytes);

protected:
    // On the starting thread: state Checking, newLauncher cleared, currentVersion empty.
    void Prepare() override;
    // The update run, on the worker thread.
    void Run() override;

private:
    void ReadConfiguration();
    // Receives the list from the first server that completes a transfer into it; the address
    // that answered, or null.
    const char* DownloadList(CURL* handle, DownloadBuffer* list);
    // Whether the list received from url is signed by listKey: its signature is fetched from
    // url with ".minisig" appended.
    bool ListSigned(CURL* handle, const char* url, const DownloadBuffer& list);
    // Downloads and extracts one package, its delta package first where listed; false after
    // its error box.
    bool ApplyPackage(CURL* handle, const UpdateRecord& record);
    // Downloads the package of source, listed as listed, and extracts it as ExtractPackage
    // does.
    bool ReceiveAndExtract(CURL* handle, const PackageSource& source, const ListedPackage& listed,
                           const char* toVersion, bool* basisMismatch);
    // Stores a received transfer in a new temporary file and writes its path into tempPath.
    // Null when stored; otherwise the text of the box to show, and no file is left behind.
    const char* StoreInTempFile(const DownloadBuffer& received, char (&tempPath)[kTempPathSize]);
    // Receives the package of source into partial in the staging folder, going on from the
    // bytes an earlier run kept of it, and checks it against listed as it arrives; every byte
    // is handed to feeder too, kept ones first. Null when the whole package is stored and
    // matches; otherwise the text of the box to show, and nothing is left behind but the bytes
    // of a broken transfer that can be continued.
    const char* ReceivePackage(CURL* handle, const PackageSource& source,
                               const ListedPackage& listed, const char* staging,
                               PartialPackage* partial, StreamFeeder* feeder);
    // Applies the archive at archivePath to the current directory through the staging folder
    // and the journal, and records toVersion; false after its box. With basisMismatch, a delta
    // whose installed file is not the one it patches ends the call without a box, nothing
    // changed, and sets *basisMismatch.
    bool ExtractPackage(const char* archivePath, const char* toVersion,
                        bool* basisMismatch = nullptr);
    // Moves the files staged in staging for steps into the installation at root through the
    // journal, and records toVersion; false after its box. The staging folder is dropped, unless
    // its journal waits for the next start.
    bool ApplyStaged(const char* root, const char* staging, PackageSteps* steps,
                     const char* toVersion);
    // Before anything is fetched: completes the journal of an update that was stopped (and
    // takes its version) or drops its staging folder, and removes the launcher's leftovers.
    // False when a journal could not be completed; it is tried again at the next start.
    bool RecoverInstallation();
    void ShowError(const char* text);
    // Publishes a final state (release: newLauncher and appPath are visible with it).
    void Finish(UpdaterState final);

    std::atomic<bool> cancelRequested{false};
};
