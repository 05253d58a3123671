// An installation directory for the launcher program as a player has it: launcher.ini, the
// splash picture, a stand-in game (and LauncherUpdater.exe) that records how it was started,
// and a studio that releases versions with the release tool onto a real update server.
#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/HttpServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

// The stand-in game, under the name "App" gives it (ending as the target's programs do).
extern const std::string kGame;
// The splash picture's one colour, 0xRRGGBB.
constexpr uint32_t kSplashColour = 0x102080;

class LauncherEndToEnd : public ::testing::Test {
protected:
    LauncherEndToEnd();

    void Install(const std::string& name);
    void WriteIni(const std::map<std::string, std::string>& keys);
    // The game tree of a version: the tree of the version before (if any) and these files.
    void GameVersion(const std::string& version, const std::string& before,
                     const std::map<std::string, std::string>& files);
    // Packages what changed from one version to the next with the release tool, into the site
    // the server offers; returns the package's name there.
    std::string Release(const std::string& from, const std::string& to);
    // Serves every file of the site under its name.
    void ServeSite();
    // 1.0 installed; 1.1 adds a level, 1.2 changes the version, both released.
    void ReleaseChain();
    static std::string Level();

    // Runs the launcher to its end; its exit code, or -1 when it did not end in time.
    int RunLauncher(ChildProcess& launcher);
    // "<name> [<argument>] in <directory>" of each program the launcher started, once the
    // started program has written it.
    std::string Started();
    std::string StartedLine(const std::string& name) const;
    std::string Installed(const std::string& name) const;
    std::string InstalledVersion() const;

    TempDir root;
    std::string install;
    TempDir studio; // the game's versions as the studio builds them
    TempDir site;   // what the update server offers
    TestHttpServer server;
};
