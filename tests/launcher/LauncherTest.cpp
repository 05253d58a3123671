// The launcher's own units: its settings, the status line, the start-up sequence when no worker
// thread can be started, and the "installed_updates" document.
#include "core/platform/Thread.h"
#include "core/strings/BoundedText.h"
#include "launcher/EntrySettings.h"
#include "launcher/FrontEnd.h"
#include "launcher/MainLoop.h"
#include "launcher/StatusText.h"
#include "launcher/UpdateDocuments.h"
#include "launcher/UpdaterState.h"
#include "tests/support/TempDir.h"
#include "tests/support/ThreadLimit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// Missing keys take their defaults; a longer text is cut to its buffer.
TEST(EntrySettingsTest, MissingKeysTakeTheirDefaults) {
    TempDir dir;
    WriteWholeFile(dir / "launcher.ini", "[Config]\nTextApply=" + std::string(300, 'x') + "\n");
    EntrySettings settings;
    ReadEntrySettings((dir / "launcher.ini").c_str(), &settings);
    EXPECT_EQ(100, settings.width);
    EXPECT_STREQ("New Times Roman", settings.textCheck);
    EXPECT_EQ(std::string(127, 'x'), settings.textApply);
}

TEST(StatusTextTest, DotsAndMegabytesAndNoHarmFromAnyFormat) {
    EXPECT_FLOAT_EQ(1.0f, AdvanceDotPhase(0.0f, 2.0f / 3.0f));
    EXPECT_FLOAT_EQ(4.0f, AdvanceDotPhase(2.5f, 1.0f)); // exactly 4 stays
    EXPECT_FLOAT_EQ(0.0f, AdvanceDotPhase(3.9f, 0.1f));

    const std::string longCheck(126, 'c');
    // The state, the dots' phase, the text for the state, and what it shows.
    const std::tuple<int32_t, float, const char*, std::string> cases[] = {
        {Checking, 3.99f, "Checking", "Checking..."},
        {Checking, 4.0f, "Checking", "Checking...."},
        {Checking, 3.0f, longCheck.c_str(), longCheck + "."},
        {Downloading, 0, "%5.2lf of %-6.0e%%", " 3.00 of 1e+01 %"},
        {Extracting, 0, "%.2f MB of %.2f MB", "1.50 MB of 2.00 MB"},
        // Formats that would read what was not passed, or take too much room, stay text.
        {Downloading, 0, "%s and %n", "%s and %n"},
        {Downloading, 0, "%f %f %f", "%f %f %f"},
        {Downloading, 0, "%1000f", "%1000f"},
        {Extracting, 0, "%.1Lf", "%.1Lf"},
        {Extracting, 0, "100%", "100%"},
        {Aborted, 2.0f, "Checking", ""},
    };
    for (const auto& [state, phase, text, expected] : cases) {
        EntrySettings texts{};
        StrCopy(texts.textCheck, sizeof texts.textCheck, text);
        StrCopy(texts.textDownload, sizeof texts.textDownload, text);
        StrCopy(texts.textApply, sizeof texts.textApply, text);
        char status[kStatusSize];
        FormatStatus(status, state, phase, texts,
                     {3145728.0f, 10485760.0f, 1572864.0f, 2097152.0f});
        EXPECT_EQ(expected, status) << text;
    }
}

// Ends the process when the launcher starts a program: with 7 when it is the game, as it should.
class ExitingFrontEnd : public FrontEnd {
public:
    void* Open(const EntrySettings&) override { return nullptr; }
    void ShowStatus(const char*) override {}
    void Pump(uint32_t waitMilliseconds) override { PlatformSleep(waitMilliseconds); }
    void Wake() override {}
    void StartProgram(const char* path, const char* parameter) override {
        std::exit(std::string(path) + " " + parameter == "game.exe L" ? 7 : 1);
    }
    void ReportFailure(const char*) override {}
    void Close() override {}
};

// Without a worker thread the launcher goes on as after an aborted run: the game starts.
TEST(LauncherMainTest, StartsTheGameWhenNoWorkerThreadCanBeStarted) {
    if (!CanForbidNewThreads())
        GTEST_SKIP() << "threads cannot be forbidden here";
    // A fresh process: no stack of an earlier test's thread is left for reuse.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    WriteWholeFile(dir / "launcher.ini", "[Config]\nApp=game.exe\n");
    EXPECT_EXIT(
        {
            fs::current_path(dir.Path());
            ForbidNewThreads();
            ExitingFrontEnd frontEnd;
            LauncherMain(frontEnd, 0);
            std::exit(1);
        },
        ::testing::ExitedWithCode(7), "");
}

// The document is exactly six lines; markup in the version is escaped so that it reads back
// unchanged, and a version longer than the field is cut as the reader would cut it. The old
// document is replaced whole or not at all.
TEST(WriteInstalledUpdates, WritesTheSixLinesAndReadsBackOrKeepsTheOld) {
    TempDir dir;
    const std::string path = dir / "installed_updates";
    ASSERT_TRUE(WriteInstalledUpdates(path.c_str(), "1.2"));
    EXPECT_EQ("<?xml version=\"1.0\"?>\n<game>\n   <update>\n      <to>1.2</to>\n"
              "   </update>\n</game>\n",
              ReadWholeFile(path));
    const std::string longVersion(40, '9');
    for (const std::string version :
         {"1.0<beta>", "R&D &amp; 2", "</to></update></game>", "", longVersion.c_str()}) {
        ASSERT_TRUE(WriteInstalledUpdates(path.c_str(), version.c_str())) << version;
        UpdateList list;
        ASSERT_TRUE(ReadUpdateList(path.c_str(), &list)) << ReadWholeFile(path);
        ASSERT_EQ(1u, list.size());
        EXPECT_EQ(version.substr(0, 31), list[0].toVersion);
    }
    EXPECT_FALSE(fs::exists(path + ".new"));

    // A target that cannot be replaced (a directory) keeps what it had; nothing is left over.
    const std::string blocked = dir / "blocked";
    fs::create_directory(blocked);
    WriteWholeFile(blocked + "/keep", "kept");
    EXPECT_FALSE(WriteInstalledUpdates(blocked.c_str(), "3.0"));
    EXPECT_EQ("kept", ReadWholeFile(blocked + "/keep"));
    EXPECT_FALSE(fs::exists(blocked + ".new"));
    EXPECT_FALSE(WriteInstalledUpdates((dir / "no/such/dir/installed_updates").c_str(), "3.0"));
}

} // namespace
