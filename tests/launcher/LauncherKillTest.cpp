// The real launcher killed at many moments of an update, then started again with its server gone,
// as after a crash or a power cut: the game then sees the old version whole or the new one whole,
// and nothing of the update is left behind.
#include "tests/launcher/LauncherFixture.h"

#include "tests/support/ZipBuilder.h"
#include "updater/EntryPath.h"
#include "updater/RemovalRecord.h"
#include "updater/UpdateDocuments.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

namespace {

using Tree = std::map<std::string, std::string>;

class KilledUpdate : public LauncherEndToEnd {
protected:
    KilledUpdate() {
        oldTree = {{"a.bin", RandomBytes(3 << 20, 1)},
                   {"b.bin", RandomBytes(1 << 20, 2)},
                   {"data/c.txt", "1.0"},
                   {"gone.txt", "dropped in 1.1"}};
        newTree = oldTree;
        newTree.erase("gone.txt");
        newTree["a.bin"] = RandomBytes(3 << 20, 3);
        newTree["data/c.txt"] = "1.1";
        newTree["data/levels/d.bin"] = RandomBytes(3 << 20, 4);
        ZipBuilder package;
        for (const char* name : {"a.bin", "data/c.txt", "data/levels/d.bin"})
            package.File(name, newTree[name], true);
        ServeChain({package.File(kRemovalRecordName, RemovalRecordText({"gone.txt"})).Bytes()});
    }

    // The installation at 1.0, the launcher's settings pointing to url and naming app as the
    // game.
    void InstallOldVersion(const std::string& url, const std::string& app = kGame) {
        // The game the last run started may still hold its own files.
        for (const char* name : {"a.bin", "b.bin", "data", "gone.txt", kStagingFolder})
            fs::remove_all(Installed(name));
        for (const auto& [name, bytes] : oldTree) {
            fs::create_directories(fs::path(Installed(name)).parent_path());
            WriteWholeFile(Installed(name), bytes);
        }
        WriteIni({{"URL1", url}, {"App", app}});
        WriteInstalledUpdates(Updater::kInstalledUpdates, "1.0");
    }

    // Starts the launcher offline and lets it end; then the installation's files but the
    // launcher's settings, the game and what it wrote.
    Tree RestartOffline() {
        DeadAddress refusing(false);
        WriteIni({{"URL1", refusing.Url("list.xml")}, {"App", kGame}});
        ChildProcess launcher(LAUNCHER_PROGRAM, install);
        EXPECT_EQ(0, RunLauncher(launcher));
        Tree files;
        for (const auto& item : fs::recursive_directory_iterator(install)) {
            const std::string name = item.path().lexically_relative(install).generic_string();
            if (!item.is_directory() && name != "launcher.ini" && name != kGame &&
                name != "LauncherUpdater.exe" && name != "started.txt" &&
                name != Updater::kInstalledUpdates)
                files[name] = ReadWholeFile(item.path().string());
        }
        return files;
    }

    // "1.0" or "1.1" when the installation is that version whole, else what it is.
    std::string VersionSeen() {
        const Tree files = RestartOffline();
        const std::string version = InstalledVersion();
        if (version == "1.0" && files == oldTree)
            return version;
        if (version == "1.1" && files == newTree)
            return version;
        std::string seen = "version " + version + ", files";
        for (const auto& item : files)
            seen += " " + item.first;
        return seen;
    }

    Tree oldTree, newTree;
};

TEST_F(KilledUpdate, EndsWithTheOldVersionOrTheNewWhole) {
    // How long a whole update takes here.
    InstallOldVersion(server.Url("list.xml"));
    const auto start = std::chrono::steady_clock::now();
    {
        ChildProcess launcher(LAUNCHER_PROGRAM, install);
        EXPECT_EQ(0, RunLauncher(launcher));
    }
    const auto whole = std::chrono::steady_clock::now() - start;
    EXPECT_EQ("1.1", VersionSeen());

    // Starts an update with no game to start (Wine can leave a game whose starter was killed
    // while starting it half made and hanging, with the test's output open), kills it once
    // killNow says so, and tells what the next start finds.
    auto killedWhen = [&](const std::function<bool()>& killNow) {
        InstallOldVersion(server.Url("list.xml"), "no-game.exe");
        ChildProcess launcher(LAUNCHER_PROGRAM, install);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!killNow() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        launcher.Kill();
        return VersionSeen();
    };
    // Before it could do anything; once its journal is written, so mostly amid the moves; once
    // it has recorded the new version. These hold however slow the machine is.
    EXPECT_EQ("1.0", killedWhen([] { return true; }));
    const std::string journal = Installed(kStagingFolder) + "/journal";
    EXPECT_EQ("1.1",
              killedWhen([&] { return fs::exists(journal) || InstalledVersion() == "1.1"; }));
    EXPECT_EQ("1.1", killedWhen([&] { return InstalledVersion() == "1.1"; }));

    // Moments spread over the update, from a fifth of its time on: before that the launcher is
    // starting. Either outcome is right; a mix is not.
    constexpr int kMoments = 8;
    for (int moment = 0; moment < kMoments; ++moment) {
        SCOPED_TRACE(moment);
        const auto at =
            std::chrono::steady_clock::now() + whole * (kMoments + 4 * moment) / (5 * kMoments);
        const std::string seen = killedWhen([&] { return std::chrono::steady_clock::now() >= at; });
        EXPECT_TRUE(seen == "1.0" || seen == "1.1") << seen;
    }
}

// Killed while the package arrives, the launcher goes on at its next start from the bytes it
// kept: in all the server sends the package hardly more than once.
TEST_F(KilledUpdate, AKilledTransferGoesOnAtTheNextStart) {
    const std::string data = RandomBytes(40 << 20, 6);
    const std::string package = ZipBuilder().File("big.bin", data, true).Bytes();
    HttpAnswer answer(package);
    answer.ranges = true;
    answer.etag = "\"1.1\"";
    answer.bytesPerSecond = 8 << 20;
    server.Serve("1.1.zip", answer);
    InstallOldVersion(server.Url("list.xml"), "no-game.exe");
    {
        ChildProcess launcher(LAUNCHER_PROGRAM, install);
        for (int wait = 0; wait < 3000 && server.BytesSent("1.1.zip") < package.size() / 2; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        launcher.Kill();
        server.HangUp();
    }
    EXPECT_LT(server.BytesSent("1.1.zip"), package.size());
    answer.bytesPerSecond = 0;
    server.Serve("1.1.zip", answer);
    ChildProcess again(LAUNCHER_PROGRAM, install);
    EXPECT_EQ(0, RunLauncher(again));
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_TRUE(data == ReadWholeFile(Installed("big.bin")));
    EXPECT_EQ(2, server.Hits("1.1.zip"));
    EXPECT_LE(server.BytesSent("1.1.zip"), package.size() * 105 / 100) << package.size();
    EXPECT_FALSE(fs::exists(Installed(kStagingFolder)));
}

// Stopped between the steps of the journal (moments a kill from outside cannot be aimed at): the
// next start completes them. A journal that is damaged or hostile before its first step is
// dropped, and the old version stays whole.
TEST_F(KilledUpdate, TheJournalIsCompletedOrADamagedOneDropped) {
    const std::string staging = Installed(kStagingFolder);
    const std::string outside = (root / "outside.txt");
    auto stopAfterSteps = [&](const char* steps) {
        InstallOldVersion(server.Url("list.xml"));
        SetChildEnvironment("LAUNCHER_TEST_EXIT_AFTER_STEPS", steps);
        ChildProcess launcher(LAUNCHER_PROGRAM, install);
        int code = 0;
        EXPECT_TRUE(launcher.Wait(30000, &code));
        SetChildEnvironment("LAUNCHER_TEST_EXIT_AFTER_STEPS", nullptr);
        EXPECT_EQ(3, code);
        return ReadWholeFile(staging + "/journal");
    };
    // Before the first step, after the removal, between the moves.
    for (const char* steps : {"0", "1", "2", "3"}) {
        SCOPED_TRACE(steps);
        EXPECT_NE("", stopAfterSteps(steps));
        EXPECT_EQ("1.1", VersionSeen());
        EXPECT_FALSE(fs::exists(staging));
    }

    // The staging folder as a stop before the first step leaves it, with the old version whole.
    stopAfterSteps("0");
    const std::string whole = root / "whole";
    fs::copy(staging, whole);
    auto restage = [&] {
        InstallOldVersion(server.Url("list.xml"));
        fs::copy(whole, staging);
        return ReadWholeFile(staging + "/journal");
    };
    WriteWholeFile(outside, "outside");
    // Whole as written (so the copy is complete), cut short, a name leaving the installation, a
    // file both removed and moved, an absurd length, a step after the end.
    const std::tuple<std::string, std::string, const char*> damages[] = {
        {"", "", "1.1"},
        {"end\n", "", "1.0"},
        {"m 0 a.bin\n", "m 0 ../outside.txt\n", "1.0"},
        {"r gone.txt\n", "r a.bin\n", "1.0"},
        {"end\n", std::string(300, 'x') + "\nend\n", "1.0"},
        {"end\n", "end\nm 1 b.bin\n", "1.0"},
    };
    for (const auto& [from, to, version] : damages) {
        SCOPED_TRACE(to);
        std::string journal = restage();
        ASSERT_NE(std::string::npos, journal.find(from));
        journal.replace(journal.find(from), from.size(), to);
        WriteWholeFile(staging + "/journal", journal);
        EXPECT_EQ(version, VersionSeen());
        EXPECT_FALSE(fs::exists(staging));
        EXPECT_EQ("outside", ReadWholeFile(outside));
    }
    // A link in place of the staging folder is removed, never followed (where links can be made).
    restage();
    fs::remove_all(staging);
    std::error_code error;
    fs::create_directory_symlink(whole, staging, error);
    if (!error) {
        EXPECT_EQ("1.0", VersionSeen());
        EXPECT_FALSE(fs::exists(fs::symlink_status(staging)));
        EXPECT_TRUE(fs::exists(whole + "/journal"));
    }
}

} // namespace
