// What a stopped update left behind, put right at the start of a run.
#include "core/platform/Directory.h"
#include "core/strings/BoundedText.h"
#include "updater/EntryPath.h"
#include "updater/PartialPackage.h"
#include "updater/UpdateDocuments.h"
#include "updater/UpdateJournal.h"
#include "updater/Updater.h"

#include <cstdio>

bool Updater::RecoverInstallation() {
    char root[kPathSize];
    char staging[kPathSize + sizeof kStagingFolder + 1];
    char leftover[kPathSize + sizeof kInstalledUpdates + 8];
    if (!PlatformCurrentDirectory(root, sizeof root) ||
        StrFormat(staging, sizeof staging, "%s/%s", root, kStagingFolder) > sizeof staging ||
        StrFormat(leftover, sizeof leftover, "%s/%s.new", root, kInstalledUpdates) >
            sizeof leftover)
        return true;
    PlatformRemoveTree(leftover);
    // A journal is only followed in a folder of the installation's own, never through a link.
    UpdateJournal journal;
    const bool journaled = PlatformIsPlainDirectory(staging) && JournalRead(staging, &journal);
    if (journaled) {
        if (!JournalApply(root, staging, journal) ||
            !WriteInstalledUpdates(kInstalledUpdates, journal.toVersion))
            return false;
        StrCopy(currentVersion, sizeof currentVersion, journal.toVersion);
    }
    // Without a whole journal nothing in the installation was changed yet; only a package
    // being received stays, for the transfer to go on from where it stopped.
    if (journaled || !StagingHoldsPartialPackage(staging) || !StagingClear(staging, true))
        PlatformRemoveTree(staging);
    return true;
}
