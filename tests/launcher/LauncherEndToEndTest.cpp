// The launcher as a player runs it: the real program in an installation directory of its own,
// with launcher.ini, a splash picture and a stand-in game, against a real update server.
#include "tests/launcher/LauncherFixture.h"

#include "tests/support/ZipBuilder.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

TEST_F(LauncherEndToEnd, WithoutSettingsItReportsNoServerAndStartsNoApp) {
    Install("no.app");
    ChildProcess launcher(LAUNCHER_PROGRAM, install);
    EXPECT_EQ(0, RunLauncher(launcher));
    EXPECT_EQ(std::vector<std::string>{"Error: Server is not avaible"}, launcher.Boxes());
    EXPECT_EQ(StartedLine("no.app"), Started());
    EXPECT_FALSE(fs::exists(install + "/installed_updates"));
}

TEST_F(LauncherEndToEnd, AppliesAChainAndStartsTheGame) {
    ReleaseChain();
    ServeSite();
    WriteIni({{"URL1", server.Url("list.xml")},
              {"App", kGame},
              {"TextCheck", "Checking"},
              {"TextDownload", "Receiving %.1f of %.1f MB"}});
    ChildProcess launcher(LAUNCHER_PROGRAM, install);
    EXPECT_EQ(0, RunLauncher(launcher));
    EXPECT_TRUE(launcher.Boxes().empty());
    EXPECT_EQ(StartedLine(kGame), Started());
    EXPECT_EQ("1.2", InstalledVersion());
    EXPECT_EQ("1.2", Installed("data/version.txt"));
    EXPECT_EQ(Level(), Installed("data/levels/forest.txt"));
    const std::string output = launcher.Output();
    EXPECT_TRUE(output.empty() || output.compare(0, 9, "Checking\n") == 0) << output;
}

TEST_F(LauncherEndToEnd, AFailingPackageStopsTheChainAndTheGameStillStarts) {
    ReleaseChain();
    GameVersion("1.3", "1.2", {{"data/version.txt", "1.3"}});
    Release("1.2", "1.3");
    ServeSite();
    const std::string second = "update-1.1-to-1.2.zip";
    server.ServeCutShort(second, ReadWholeFile(site / second), 10);
    WriteIni({{"URL1", server.Url("list.xml")}, {"App", kGame}, {"Err_Caption", "Game"}});
    ChildProcess launcher(LAUNCHER_PROGRAM, install);
    EXPECT_EQ(0, RunLauncher(launcher));
    EXPECT_EQ(std::vector<std::string>{"Game: Update download error"}, launcher.Boxes());
    EXPECT_EQ(StartedLine(kGame), Started());
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_EQ("1.1", Installed("data/version.txt"));
    EXPECT_EQ(0, server.Hits("update-1.2-to-1.3.zip"));
}

TEST_F(LauncherEndToEnd, ANewLauncherInAPackageStartsLauncherUpdaterInstead) {
    GameVersion("1.0", "", {{"data/version.txt", "1.0"}});
    GameVersion("1.1", "1.0", {{"Launcher", "new"}});
    GameVersion("1.2", "1.1", {{"data/version.txt", "1.2"}});
    Release("1.0", "1.1");
    Release("1.1", "1.2");
    ServeSite();
    WriteIni({{"URL1", server.Url("list.xml")}, {"App", kGame}});
    ChildProcess launcher(LAUNCHER_PROGRAM, install);
    EXPECT_EQ(0, RunLauncher(launcher));
    EXPECT_EQ(StartedLine("LauncherUpdater.exe"), Started());
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_EQ(0, server.Hits("update-1.1-to-1.2.zip"));
}

TEST_F(LauncherEndToEnd, ClosingTheWindowDuringAStalledDownloadEndsAtOnce) {
    GameVersion("1.0", "", {});
    GameVersion("1.1", "1.0", {{"big.bin", RandomBytes(1 << 20, 3)}});
    const std::string package = Release("1.0", "1.1");
    ServeSite();
    server.ServeStalling(package, ReadWholeFile(site / package), 4096);
    WriteIni({{"URL1", server.Url("list.xml")}, {"App", kGame}});
    ChildProcess launcher(LAUNCHER_PROGRAM, install);
    for (int wait = 0; wait < 1000 && server.Hits(package) == 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(1, server.Hits(package));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    const auto closed = std::chrono::steady_clock::now();
    launcher.Close();
    int exitCode = -1;
    ASSERT_TRUE(launcher.Wait(1000 + kCloseDelayMilliseconds, &exitCode));
    EXPECT_EQ(0, exitCode);
    EXPECT_LT(std::chrono::steady_clock::now() - closed,
              std::chrono::milliseconds(1000 + kCloseDelayMilliseconds));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(fs::exists(install + "/started.txt"));
    EXPECT_FALSE(fs::exists(install + "/installed_updates"));
    EXPECT_TRUE(launcher.Boxes().empty());
}

} // namespace
