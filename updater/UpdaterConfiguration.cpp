// The updater's share of launcher.ini and the installed version.
#include "updater/ConfigKeys.h"
#include "updater/UpdateDocuments.h"
#include "updater/Updater.h"

#include "core/strings/BoundedText.h"

static_assert(config::kServerUrl[0].size == Updater::kAddressSize, "server address buffer");
static_assert(config::kApp.size == Updater::kAddressSize, "game path buffer");
static_assert(config::kErrCaption.size == Updater::kMessageSize &&
                  config::kErrNotAdmin.size == Updater::kMessageSize &&
                  config::kErrNoConnection.size == Updater::kMessageSize &&
                  config::kErrDownloadUpdate.size == Updater::kMessageSize &&
                  config::kErrNeedDiskSpace.size == Updater::kMessageSize &&
                  config::kErrExtracting.size == Updater::kMessageSize &&
                  config::kErrSignature.size == Updater::kMessageSize,
              "message buffers");
static_assert(config::kListKey.size == Updater::kKeySize, "key buffer");
static_assert(config::kBaseVersion.size == Updater::kVersionSize, "version buffer");

void Updater::ReadConfiguration() {
    for (int i = 0; i < kServerCount; ++i)
        ReadConfigText(config::kServerUrl[i], serverUrl[i], iniPath);
    ReadConfigText(config::kApp, appPath, iniPath);
    ReadConfigText(config::kErrCaption, errCaption, iniPath);
    ReadConfigText(config::kErrNotAdmin, errNotAdmin, iniPath);
    ReadConfigText(config::kErrNoConnection, errNoConnection, iniPath);
    ReadConfigText(config::kErrDownloadUpdate, errDownloadUpdate, iniPath);
    ReadConfigText(config::kErrNeedDiskSpace, errNeedDiskSpace, iniPath);
    ReadConfigText(config::kErrExtracting, errExtracting, iniPath);
    ReadConfigText(config::kErrSignature, errSignature, iniPath);
    ReadConfigText(config::kListKey, listKey, iniPath);

    // A run started again must not see the entries of the one before.
    installedUpdates.clear();
    ReadUpdateList(kInstalledUpdates, &installedUpdates);
    if (!installedUpdates.empty())
        StrCopy(currentVersion, sizeof currentVersion, installedUpdates.back().toVersion);
    else
        ReadConfigText(config::kBaseVersion, currentVersion, iniPath);
}
