// Whole update runs against a real server: rights, the defaults, the update loop's matching
// and chains, and what "installed_updates" records.
#include "tests/launcher/UpdaterFixture.h"

#include "launcher/DownloadProgress.h"
#include "tests/support/ZipBuilder.h"

#include <filesystem>

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

    // No launcher.ini at all: every key takes its default, all five slots are "no-server".
    fs::remove(Installed("launcher.ini"));
    services.temps.clear();
    EXPECT_EQ("Error: Server is not avaible;", RunUpdate());
    EXPECT_EQ(Aborted, updater.state.load());
    for (const char* url : updater.serverUrl)
        EXPECT_STREQ("no-server", url);
    EXPECT_STREQ("no.app", updater.appPath);
    EXPECT_STREQ("1.0", updater.currentVersion);
    EXPECT_TRUE(services.temps.empty());
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

} // namespace
