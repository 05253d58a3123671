// Whole update runs against a real server: rights, server fallback, the update loop's matching
// and chains, the new-launcher marker, and what "installed_updates" records.
#include "tests/launcher/UpdaterFixture.h"

#include "core/strings/BoundedText.h"
#include "launcher/DownloadProgress.h"
#include "tests/support/ThreadLimit.h"
#include "tests/support/ZipBuilder.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

namespace fs = std::filesystem;

namespace {

class UpdateRun : public UpdaterFixture {
protected:
    // A package that writes one file named after its version; returns its size.
    size_t ServePackage(const std::string& version) {
        const std::string package =
            ZipBuilder().File("versions/" + version + ".txt", "v" + version).Bytes();
        server.Serve(version + ".zip", package);
        return package.size();
    }
    // Serves a list of packages and points URL1 at it.
    void ServeList(const std::vector<ListEntry>& entries) {
        server.Serve("list.xml", ListXml(entries));
        WriteIni({{"URL1", server.Url("list.xml")}});
    }
    bool Recorded() const { return fs::exists(Installed(Updater::kInstalledUpdates)); }
};

// Runs that end before the update loop: one box, nothing recorded.
TEST_F(UpdateRun, WithoutRightsOrWithoutAListTheRunAbortsWithItsBox) {
    WriteIni({{"URL1", server.Url("list.xml")},
              {"Err_Caption", "Launcher"},
              {"Err_notadmin", "Run me as administrator"}});
    services.admin = false;
    EXPECT_EQ("Launcher: Run me as administrator;", RunUpdate());
    EXPECT_EQ(Aborted, updater.state.load());
    EXPECT_EQ(0, server.Hits("list.xml"));
    EXPECT_FALSE(Recorded());
    EXPECT_TRUE(services.temps.empty());

    // An error page counts as the list, so the next server is not asked.
    services.admin = true;
    WriteIni({{"URL1", server.Url("missing.xml")}, {"URL2", server.Url("list.xml")}});
    server.Serve("list.xml", ListXml({}));
    EXPECT_EQ("Error: xml parse error;", RunUpdate());
    EXPECT_EQ(Aborted, updater.state.load());
    EXPECT_EQ(1, server.Hits("missing.xml"));
    EXPECT_EQ(0, server.Hits("list.xml"));
    EXPECT_FALSE(Recorded());
    ExpectTempFilesRemoved();
}

// No launcher.ini at all: every key takes its default, all five slots are "no-server".
TEST_F(UpdateRun, WithoutSettingsEveryServerFailsAndTheDefaultsShow) {
    EXPECT_EQ("Error: Server is not avaible;", RunUpdate());
    EXPECT_EQ(Aborted, updater.state.load());
    for (const char* url : updater.serverUrl)
        EXPECT_STREQ("no-server", url);
    EXPECT_STREQ("no.app", updater.appPath);
    EXPECT_STREQ("1.0", updater.currentVersion);
    EXPECT_TRUE(services.temps.empty());
}

TEST_F(UpdateRun, TakesTheListFromTheFirstServerThatAnswers) {
    DeadAddress refusing(false);
    server.Serve("list.xml", ListXml({}));
    WriteIni({{"URL1", refusing.Url("list.xml")},
              {"URL2", server.Url("list.xml")},
              {"URL3", server.Url("three.xml")},
              {"URL4", server.Url("four.xml")},
              {"URL5", server.Url("five.xml")}});
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ(Finished, updater.state.load());
    EXPECT_EQ(1, server.Hits("list.xml"));
    EXPECT_EQ(0, server.Hits("three.xml") + server.Hits("four.xml") + server.Hits("five.xml"));
    EXPECT_EQ("1.0", InstalledVersion());
    ExpectTempFilesRemoved();
}

TEST_F(UpdateRun, AppliesAnAscendingChainInOneRunAndRecordsTheLastVersion) {
    size_t lastSize = 0;
    for (const char* version : {"1.1", "1.2", "1.3"})
        lastSize = ServePackage(version);
    server.Serve("list.xml", ListXml({{"1.0", "1.1", server.Url("1.1.zip")},
                                      {"1.1", "1.2", server.Url("1.2.zip")},
                                      {"1.2", "1.3", server.Url("1.3.zip")}}));
    WriteIni({{"URL1", server.Url("list.xml")}, {"App", "game.exe"}});
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ(Finished, updater.state.load());
    EXPECT_EQ("1.3", InstalledVersion());
    EXPECT_STREQ("game.exe", updater.appPath);
    EXPECT_FALSE(updater.newLauncher.load());
    for (const std::string version : {"1.1", "1.2", "1.3"})
        EXPECT_EQ("v" + version, ReadWholeFile(Installed("versions/" + version + ".txt")));
    // The counters show the last package.
    EXPECT_EQ(4.0f, updater.extractedBytes.load());
    EXPECT_EQ(4.0f, updater.extractTotalBytes.load());
    EXPECT_EQ(float(lastSize), downloadNow.load());
    EXPECT_EQ(float(lastSize), downloadTotal.load());
    ExpectTempFilesRemoved();
    EXPECT_EQ(4u, services.temps.size());
}

TEST_F(UpdateRun, AppliesAReverseChainOneStepPerRun) {
    ServePackage("1.1");
    ServePackage("1.2");
    ServeList({{"1.1", "1.2", server.Url("1.2.zip")}, {"1.0", "1.1", server.Url("1.1.zip")}});
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_EQ(0, server.Hits("1.2.zip"));
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ(Finished, updater.state.load());
    EXPECT_EQ("1.2", InstalledVersion());
    EXPECT_EQ(1, server.Hits("1.1.zip"));
    EXPECT_EQ(1, server.Hits("1.2.zip"));
}

// A package that fails in the middle of a chain keeps the version before it; what its
// predecessors wrote stays, and the packages after it are not fetched. Refused: the download
// failed. An error page: it is no archive.
TEST_F(UpdateRun, AFailureInTheMiddleOfAChainKeepsTheVersionBeforeIt) {
    DeadAddress refusing(false);
    ServePackage("1.1");
    ServePackage("1.3");
    for (const auto& broken : {std::make_pair(refusing.Url("1.2.zip"), "Error: download failed;"),
                               std::make_pair(server.Url("missing.zip"), "Error: no package;")}) {
        fs::remove(Installed(Updater::kInstalledUpdates));
        server.Serve("list.xml", ListXml({{"1.0", "1.1", server.Url("1.1.zip")},
                                          {"1.1", "1.2", broken.first},
                                          {"1.2", "1.3", server.Url("1.3.zip")}}));
        WriteIni({{"URL1", server.Url("list.xml")},
                  {"Err_DownloadUpdateError", "download failed"},
                  {"Err_extractingerror", "no package"}});
        EXPECT_EQ(broken.second, RunUpdate());
        EXPECT_EQ(Finished, updater.state.load());
        EXPECT_EQ("1.1", InstalledVersion());
        EXPECT_EQ("v1.1", ReadWholeFile(Installed("versions/1.1.txt")));
        EXPECT_EQ(0, server.Hits("1.3.zip"));
    }
    EXPECT_EQ(1, server.Hits("missing.zip"));
    ExpectTempFilesRemoved();
}

TEST_F(UpdateRun, ANewLauncherStopsTheLoopAfterItsPackage) {
    server.Serve("1.1.zip",
                 ZipBuilder().File("Launcher", "").File("LauncherUpdater.exe", "MZ").Bytes());
    ServePackage("1.2");
    ServeList({{"1.0", "1.1", server.Url("1.1.zip")}, {"1.1", "1.2", server.Url("1.2.zip")}});
    RunUpdate();
    EXPECT_EQ(Finished, updater.state.load());
    EXPECT_TRUE(updater.newLauncher.load());
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_EQ(0, server.Hits("1.2.zip"));

    // The marker is still there: with nothing to apply it means nothing.
    fs::remove(Installed(Updater::kInstalledUpdates));
    ServeList({{"0.9", "1.0", server.Url("1.2.zip")}});
    RunUpdate();
    EXPECT_FALSE(updater.newLauncher.load());
    EXPECT_EQ("1.0", InstalledVersion());
}

// Versions match by equality without regard to case, never by order; an entry without "for"
// matches only an empty version. Once "installed_updates" exists, "BaseVersion" is not read.
TEST_F(UpdateRun, EntriesMatchTheInstalledVersionExactlyButForCase) {
    ServePackage("rc");
    ServePackage("empty");
    server.Serve("list.xml", ListXml({{"1.0", "wrong", server.Url("wrong.zip")},
                                      {"1.0-RC1", "rc", server.Url("rc.zip")}}));
    WriteIni({{"URL1", server.Url("list.xml")}, {"BaseVersion", "1.0.0"}});
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ("1.0.0", InstalledVersion());

    WriteIni({{"URL1", server.Url("list.xml")}, {"BaseVersion", "1.0-rc1"}});
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ("1.0.0", InstalledVersion());

    fs::remove(Installed(Updater::kInstalledUpdates));
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ("rc", InstalledVersion());
    EXPECT_EQ(1, server.Hits("rc.zip"));

    fs::remove(Installed(Updater::kInstalledUpdates));
    server.Serve("list.xml", ListXml({{"-", "empty", server.Url("empty.zip")}}));
    WriteIni({{"URL1", server.Url("list.xml")}, {"BaseVersion", ""}});
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ("empty", InstalledVersion());
    EXPECT_EQ(0, server.Hits("wrong.zip"));
}

// The updater may go away while its run waits on a stalled server: the destructor ends the
// transfer within about a second, shows no box for it and leaves no temporary file.
TEST_F(UpdateRun, DestroyingTheUpdaterEndsAStalledTransferAtOnce) {
    const std::string package = ZipBuilder().File("a.txt", CompressibleText(80000, 1)).Bytes();
    server.ServeStalling("1.1.zip", package, package.size() / 2);
    ServeList({{"1.0", "1.1", server.Url("1.1.zip")}});
    auto early = std::make_unique<Updater>();
    early->services = &services;
    StrCopy(early->iniPath, sizeof early->iniPath, updater.iniPath);
    early->Start(ThreadWorker::PriorityNormal);
    while (server.Hits("1.1.zip") == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto start = std::chrono::steady_clock::now();
    early.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ("", services.boxes);
    EXPECT_EQ("1.0", InstalledVersion());
    ExpectTempFilesRemoved();
}

// Without a worker thread the run is over before it began: Start says so and the state reads
// Aborted at once, so that whoever polls it goes on as after any aborted run.
TEST_F(UpdateRun, AStartWithoutAThreadIsAnAbortedRun) {
    if (!CanForbidNewThreads())
        GTEST_SKIP() << "no address-space limit here";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ForbidNewThreads();
            const bool aborted = updater.Start(ThreadWorker::PriorityNormal) < 0 &&
                                 updater.state.load() == Aborted && !updater.IsRunning();
            std::_Exit(aborted ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
