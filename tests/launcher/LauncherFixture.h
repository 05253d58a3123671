// The launcher program in an installation directory as a player has it: launcher.ini and a
// stand-in game (and LauncherUpdater.exe) that records how it was started.
#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/updater/UpdaterFixture.h"

#include <string>
#include <vector>

// The stand-in game, under the name "App" gives it (ending as the target's programs do).
extern const std::string kGame;

class LauncherEndToEnd : public UpdaterFixture {
protected:
    LauncherEndToEnd();

    void Install(const std::string& name);
    // Serves each package as "<to>.zip" and "list.xml" chaining them: 1.0 to 1.1, 1.1 to 1.2...
    void ServeChain(const std::vector<std::string>& packages);
    int RunLauncher(ChildProcess& launcher); // its exit code; -1 when it did not end in time
    // "<name> [<argument>] in <directory>" of the program the launcher started, once written.
    std::string Started();
    std::string StartedLine(const std::string& name) const;
};
