// The launcher as a player runs it: the real program in an installation directory of its own,
// with launcher.ini, a splash picture and a stand-in game, against a real update server.
#include "tests/support/ChildProcess.h"
#include "tests/support/HttpServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/ZipBuilder.h"
#include "tools/release/ReleaseTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

namespace fs = std::filesystem;

namespace {

// The stand-in game's file name ends as the target's programs do.
const std::string kProgramEnding = fs::path(TEST_GAME_PROGRAM).extension().string();
const std::string kGame = "game" + kProgramEnding;
constexpr int kRunMilliseconds = 30000;

std::string Slashed(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

class LauncherEndToEnd : public ::testing::Test {
protected:
    LauncherEndToEnd() : install(Slashed(root / "install")) {
        fs::create_directories(install + "/bin");
        WriteWholeFile(install + "/bin/Launcher.bmp", SplashBitmap());
        Install(kGame);
        Install("LauncherUpdater.exe");
    }

    // A 24-bit picture, 320 x 160, bottom-up rows padded to four bytes: a blue field.
    static std::string SplashBitmap() {
        const uint32_t width = 320, height = 160, size = 54 + width * height * 3;
        std::string bmp = "BM";
        auto put = [&bmp](uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i)
                bmp += char(value >> (8 * i));
        };
        put(size, 4), put(0, 4), put(54, 4), put(40, 4), put(width, 4), put(height, 4);
        put(1, 2), put(24, 2), put(0, 4), put(width * height * 3, 4), put(2835, 4), put(2835, 4);
        put(0, 4), put(0, 4);
        for (uint32_t pixel = 0; pixel < width * height; ++pixel)
            put(0x802010, 3); // blue 0x80, green 0x20, red 0x10
        return bmp;
    }

    void Install(const std::string& name) {
        fs::copy_file(TEST_GAME_PROGRAM, install + "/" + name);
    }
    void WriteIni(const std::map<std::string, std::string>& keys) {
        std::string text = "[Config]\r\n";
        for (const auto& key : keys)
            text += key.first + "=" + key.second + "\r\n";
        WriteWholeFile(install + "/launcher.ini", text);
    }
    // The game tree of a version: the tree of the version before (if any) and these files.
    void GameVersion(const std::string& version, const std::string& before,
                     const std::map<std::string, std::string>& files) {
        const std::string tree = studio / version;
        if (before.empty())
            fs::create_directories(tree);
        else
            fs::copy(studio / before, tree, fs::copy_options::recursive);
        for (const auto& file : files) {
            fs::create_directories(fs::path(tree + "/" + file.first).parent_path());
            WriteWholeFile(tree + "/" + file.first, file.second);
        }
    }
    // Packages what changed from one version to the next with the release tool, into the site
    // the server offers; returns the package's name there.
    std::string Release(const std::string& from, const std::string& to) {
        std::vector<std::string> args = {"gamerelease", "package",      studio / from, studio / to,
                                         "--from",      from,           "--to",        to,
                                         "--url",       server.Url(""), "--out",       site.Path()};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        FILE* log = std::tmpfile();
        EXPECT_EQ(0, ReleaseToolMain(int(argv.size()), argv.data(), log, log, nullptr));
        std::fclose(log);
        return "update-" + from + "-to-" + to + ".zip";
    }
    // Serves every file of the site under its name.
    void ServeSite() {
        for (const auto& item : fs::directory_iterator(site.Path()))
            server.Serve(item.path().filename().string(), ReadWholeFile(item.path().string()));
    }
    // The demo chain: 1.0 installed, 1.1 adds a level, 1.2 changes the version.
    void ReleaseChain() {
        GameVersion("1.0", "", {{"data/version.txt", "1.0"}});
        GameVersion("1.1", "1.0",
                    {{"data/version.txt", "1.1"}, {"data/levels/forest.txt", Level()}});
        GameVersion("1.2", "1.1", {{"data/version.txt", "1.2"}});
        Release("1.0", "1.1");
        Release("1.1", "1.2");
        fs::create_directories(install + "/data");
        WriteWholeFile(install + "/data/version.txt", "1.0");
    }
    static std::string Level() { return CompressibleText(2 << 20, 1); }

    // Runs the launcher to its end; its exit code, or -1 when it did not end in time.
    int RunLauncher(ChildProcess& launcher) {
        int exitCode = -1;
        EXPECT_TRUE(launcher.Started());
        EXPECT_TRUE(launcher.Wait(kRunMilliseconds, &exitCode)) << "the launcher did not end";
        return exitCode;
    }
    // "<name> [<argument>] in <directory>" of each program the launcher started, once the
    // started program has written it.
    std::string Started(size_t programs = 1) {
        const std::string path = install + "/started.txt";
        for (int wait = 0; wait < 500; ++wait) {
            const std::string text = Slashed(ReadWholeFile(path));
            if (size_t(std::count(text.begin(), text.end(), '\n')) >= programs)
                return text;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return Slashed(ReadWholeFile(path));
    }
    std::string StartedLine(const std::string& name) const {
        return name + " [L] in " + install + "\n";
    }
    std::string Installed(const std::string& name) const {
        return ReadWholeFile(install + "/" + name);
    }
    std::string InstalledVersion() const {
        const std::string text = Installed("installed_updates");
        const size_t begin = text.find("<to>"), end = text.find("</to>");
        return begin == std::string::npos || end == std::string::npos
                   ? std::string()
                   : text.substr(begin + 4, end - begin - 4);
    }

    TempDir root;
    std::string install;
    TempDir studio; // the game's versions as the studio builds them
    TempDir site;   // what the update server offers
    TestHttpServer server;
};

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
