// The real launcher program in an installation of its own, against a real update server.
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
    EXPECT_EQ("", InstalledVersion());
}

// Packages apply in one run up to the one that fails; its box shows and the game starts. The
// next run goes on from there, and a new launcher in a package starts LauncherUpdater instead.
TEST_F(LauncherEndToEnd, AppliesAChainUpToAFailingPackageThenHandsOverToANewLauncher) {
    auto version = [](const char* text) { return ZipBuilder().File("data/version.txt", text); };
    const std::string level = CompressibleText(2 << 20, 1);
    const std::string third = version("1.3").File("Launcher", "new").Bytes();
    ServeChain({version("1.1").File("data/forest.txt", level).Bytes(), version("1.2").Bytes(),
                third, version("1.4").Bytes()});
    server.ServeCutShort("1.3.zip", third, 10);
    WriteIni({{"URL1", server.Url("list.xml")},
              {"App", kGame},
              {"Err_Caption", "Game"},
              {"TextCheck", "Checking"}});
    ChildProcess first(LAUNCHER_PROGRAM, install);
    EXPECT_EQ(0, RunLauncher(first));
    EXPECT_EQ(std::vector<std::string>{"Game: Update download error"}, first.Boxes());
    EXPECT_EQ(StartedLine(kGame), Started());
    EXPECT_EQ("1.2", InstalledVersion());
    EXPECT_EQ("1.2", ReadWholeFile(Installed("data/version.txt")));
    EXPECT_TRUE(level == ReadWholeFile(Installed("data/forest.txt")));
    // A Windows program shows its status in its window (the splash test looks at it).
    const bool windows = fs::path(LAUNCHER_PROGRAM).extension() == ".exe";
    EXPECT_EQ(windows ? "" : "Checking\n", first.Output().substr(0, 9));

    fs::remove(Installed("started.txt"));
    server.Serve("1.3.zip", third);
    ChildProcess second(LAUNCHER_PROGRAM, install);
    EXPECT_EQ(0, RunLauncher(second));
    EXPECT_TRUE(second.Boxes().empty());
    EXPECT_EQ(StartedLine("LauncherUpdater.exe"), Started());
    EXPECT_EQ("1.3", InstalledVersion());
    EXPECT_EQ(1, server.Hits("1.2.zip"));
}

TEST_F(LauncherEndToEnd, ClosingTheWindowDuringAStalledDownloadEndsAtOnce) {
    const std::string package = ZipBuilder().File("big.bin", RandomBytes(1 << 20, 3)).Bytes();
    ServeChain({package});
    server.ServeStalling("1.1.zip", package, 4096);
    WriteIni({{"URL1", server.Url("list.xml")}, {"App", kGame}});
    ChildProcess launcher(LAUNCHER_PROGRAM, install);
    for (int wait = 0; wait < 1000 && server.Hits("1.1.zip") == 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(1, server.Hits("1.1.zip"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    launcher.Close();
    int exitCode = -1;
    ASSERT_TRUE(launcher.Wait(1000 + kCloseDelayMilliseconds, &exitCode));
    EXPECT_EQ(0, exitCode);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(fs::exists(Installed("started.txt")));
    EXPECT_EQ("", InstalledVersion());
    EXPECT_TRUE(launcher.Boxes().empty());
}

} // namespace
