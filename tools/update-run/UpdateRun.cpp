// Brings the installation in the working directory up to date once, as the launcher's worker
// does behind its splash window, and reports on the terminal: the state as it changes, the
// transfer and extraction counts, and where the run ended. Exit code 0 after a finished run,
// 1 after an aborted one, 2 when the paths do not fit.
#include "core/platform/Directory.h"
#include "core/platform/Thread.h"
#include "core/strings/BoundedText.h"
#include "launcher/DownloadProgress.h"
#include "launcher/Updater.h"

#include <cstdio>

namespace {

const char* StateName(int32_t state) {
    switch (state) {
    case Checking:
        return "checking for updates";
    case Downloading:
        return "downloading";
    case Extracting:
        return "applying";
    case Aborted:
        return "aborted";
    case Finished:
        return "finished";
    default:
        return "unknown state";
    }
}

bool FormPath(char (&path)[Updater::kPathSize], const char* directory, const char* suffix) {
    StrCopy(path, sizeof path, directory);
    return StrCat(path, sizeof path, suffix);
}

} // namespace

int main() {
    Updater updater;
    char directory[Updater::kPathSize];
    if (!PlatformCurrentDirectory(directory, sizeof directory) ||
        !FormPath(updater.iniPath, directory, "//launcher.ini") ||
        !FormPath(updater.launcherUpdaterPath, directory, "//LauncherUpdater.exe") ||
        !FormPath(updater.launcherMarkerPath, directory, "//Launcher")) {
        std::fprintf(stderr, "update-run: the working directory's path is too long\n");
        return 2;
    }
    // Without a thread the updater reads Aborted at once, and the loop below ends on it.
    if (updater.Start(ThreadWorker::PriorityNormal) < 0)
        std::fprintf(stderr, "update-run: the update thread could not be started\n");

    // Polls as the launcher's main loop does; counts every half second within a state.
    int32_t shown = -1;
    int ticks = 0;
    for (;;) {
        const int32_t state = updater.state.load(std::memory_order_acquire);
        if (state != shown) {
            std::printf("update-run: %s\n", StateName(state));
            shown = state;
            ticks = 0;
        } else if (++ticks % 50 == 0 && state == Downloading) {
            std::printf("update-run:   %.0f of %.0f bytes\n", double(downloadNow.load()),
                        double(downloadTotal.load()));
        } else if (ticks % 50 == 0 && state == Extracting) {
            std::printf("update-run:   %.0f of %.0f bytes extracted\n",
                        double(updater.extractedBytes.load()),
                        double(updater.extractTotalBytes.load()));
        }
        if (state == Aborted || state == Finished)
            break;
        std::fflush(stdout);
        PlatformSleep(10);
    }
    updater.Stop();
    if (updater.newLauncher.load())
        std::printf("update-run: a new launcher arrived; next: %s\n", updater.launcherUpdaterPath);
    else
        std::printf("update-run: version %s; next: %s\n", updater.currentVersion, updater.appPath);
    return shown == Finished ? 0 : 1;
}
