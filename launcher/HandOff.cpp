#include "launcher/HandOff.h"

#include "updater/Updater.h"

const char* NextProgram(const Updater& updater) {
    return updater.newLauncher.load(std::memory_order_relaxed) ? updater.launcherUpdaterPath
                                                               : updater.appPath;
}
