// The launcher's own share: its settings, the status line, the placement, and the main loop
// driving the real worker through whole updates against a real server.
#include "tests/launcher/UpdaterFixture.h"

#include "core/platform/Thread.h"
#include "core/strings/BoundedText.h"
#include "core/strings/TextCompare.h"
#include "launcher/EntrySettings.h"
#include "launcher/FrontEnd.h"
#include "launcher/HandOff.h"
#include "launcher/MainLoop.h"
#include "launcher/StatusText.h"
#include "tests/support/ThreadLimit.h"
#include "tests/support/ZipBuilder.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(EntrySettingsTest, ReadsEveryKeyWithItsDefaultAndTheFontFromOneKey) {
    TempDir dir;
    const std::string ini = dir / "launcher.ini";
    EntrySettings settings;
    ReadEntrySettings(ini.c_str(), &settings);
    EXPECT_EQ(100, settings.width);
    EXPECT_EQ(100, settings.height);
    EXPECT_STREQ("New Times Roman", settings.fontFace);
    EXPECT_EQ(16, settings.fontSize);
    EXPECT_EQ(255, settings.fontR);
    EXPECT_EQ(255, settings.fontG);
    EXPECT_EQ(255, settings.fontB);
    EXPECT_EQ(10, settings.textX);
    EXPECT_EQ(100, settings.textY);
    EXPECT_STREQ("New Times Roman", settings.textCheck);
    EXPECT_STREQ("New Times Roman", settings.textDownload);
    EXPECT_STREQ("New Times Roman", settings.textApply);

    const std::string longText(300, 'x');
    WriteWholeFile(ini,
                   "[Config]\nFontSize=20\nwidth=641\nFont_r=300\nTextApply=" + longText + "\n");
    ReadEntrySettings(ini.c_str(), &settings);
    EXPECT_STREQ("20", settings.fontFace);
    EXPECT_EQ(20, settings.fontSize);
    EXPECT_EQ(641, settings.width);
    EXPECT_EQ(300, settings.fontR);
    EXPECT_EQ(longText.substr(0, 127), settings.textApply);
}

TEST(WindowPlacementTest, CentresOnTheDesktopsRightAndBottomEdges) {
    const struct {
        int32_t right, bottom, width, height, x, y;
    } cases[] = {
        {1920, 1080, 641, 100, 639, 490},
        {1920, 1080, 1921, 1081, 0, 0}, // -0.5 truncates toward zero
        {800, 600, 1000, 700, -100, -50},
        {100, 100, INT32_MIN, INT32_MAX, 1073741874, -1073741773},
    };
    for (const auto& c : cases) {
        const WindowPlacement placement = CentredPlacement(c.right, c.bottom, c.width, c.height);
        EXPECT_EQ(c.x, placement.x) << c.width;
        EXPECT_EQ(c.y, placement.y) << c.height;
    }
}

TEST(StatusTextTest, DotsAndMegabytesAndNoHarmFromAnyFormat) {
    EXPECT_FLOAT_EQ(1.0f, AdvanceDotPhase(0.0f, 2.0f / 3.0f));
    EXPECT_FLOAT_EQ(4.0f, AdvanceDotPhase(2.5f, 1.0f)); // exactly 4 stays
    EXPECT_FLOAT_EQ(0.0f, AdvanceDotPhase(3.9f, 0.1f));

    const std::string longCheck(126, 'c');
    const struct {
        int32_t state;
        float phase;
        const char* text; // textCheck, textDownload or textApply, by state
        std::string expected;
    } cases[] = {
        {Checking, 0.9f, "Checking", "Checking"},
        {Checking, 3.99f, "Checking", "Checking..."},
        {Checking, 4.0f, "Checking", "Checking...."},
        {Checking, 3.0f, longCheck.c_str(), longCheck + "."},
        {Downloading, 0, "%.1f/%.1f", "3.0/10.0"},
        {Downloading, 0, "%5.2lf of %-6.0e%%", " 3.00 of 1e+01 %"},
        {Extracting, 0, "%.2f MB of %.2f MB", "1.50 MB of 2.00 MB"},
        {Extracting, 0, "no numbers", "no numbers"},
        // Formats that would read what was not passed, or take too much room, stay text.
        {Downloading, 0, "%s and %n", "%s and %n"},
        {Downloading, 0, "%f %f %f", "%f %f %f"},
        {Downloading, 0, "%1000f", "%1000f"},
        {Extracting, 0, "%.1Lf", "%.1Lf"},
        {Extracting, 0, "100%", "100%"},
        {Aborted, 2.0f, "Checking", ""},
        {Finished, 2.0f, "Checking", ""},
    };
    for (const auto& c : cases) {
        EntrySettings texts{};
        StrCopy(texts.textCheck, sizeof texts.textCheck, c.text);
        StrCopy(texts.textDownload, sizeof texts.textDownload, c.text);
        StrCopy(texts.textApply, sizeof texts.textApply, c.text);
        char status[kStatusSize];
        FormatStatus(status, c.state, c.phase, texts,
                     {3145728.0f, 10485760.0f, 1572864.0f, 2097152.0f});
        EXPECT_EQ(c.expected, status) << c.text;
    }
}

// Keeps every status line that a window would repaint, and the program started.
class RecordingFrontEnd : public FrontEnd {
public:
    void* Open(const EntrySettings&) override { return nullptr; }
    void ShowStatus(const char* text) override {
        if (!StrEqualNoCase(text, shown.c_str()))
            lines.push_back(shown = text);
    }
    void Pump(uint32_t waitMilliseconds) override { PlatformSleep(waitMilliseconds); }
    void Wake() override {}
    void StartProgram(const char* path, const char* parameter) override {
        started.push_back(std::string(path) + " " + parameter);
    }
    void ReportFailure(const char* text) override { failures.push_back(text); }
    void Close() override {}

    std::string shown;
    std::vector<std::string> failures;
    std::vector<std::string> lines;
    std::vector<std::string> started;
};

class MainLoopTest : public UpdaterFixture {};

// Both threads through whole updates: every value they share is written by the worker and read
// by the loop while the run goes on.
TEST_F(MainLoopTest, RunsTheWorkerThroughTheUpdateAndStartsWhatComesNext) {
    StrCopy(updater.launcherUpdaterPath, sizeof updater.launcherUpdaterPath,
            Installed("LauncherUpdater.exe").c_str());
    const std::string big = CompressibleText(3 << 20, 7);
    server.Serve("1.1.zip", ZipBuilder().File("data/a.txt", big).Bytes());
    server.Serve("1.2.zip", ZipBuilder().File("data/b.txt", "b").File("Launcher", "").Bytes());
    server.Serve("list.xml", ListXml({{"1.0", "1.1", server.Url("1.1.zip")},
                                      {"1.1", "1.2", server.Url("1.2.zip")}}));
    WriteIni({{"URL1", server.Url("list.xml")},
              {"App", "game.exe"},
              {"TextCheck", "Checking"},
              {"TextDownload", "Receiving %.1f of %.1f MB"},
              {"TextApply", "Installing %.1f of %.1f MB"}});
    EntrySettings settings;
    ReadEntrySettings(updater.iniPath, &settings);

    const struct {
        const char* name;
        std::string version; // "installed_updates" afterwards
        std::string started;
    } runs[] = {
        {"chain with a new launcher at its end", "1.2", Installed("LauncherUpdater.exe") + " L"},
        // The marker counts only after a package applied in the same run.
        {"nothing left to apply", "1.2", "game.exe L"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.name);
        RecordingFrontEnd frontEnd;
        quitRequested.store(false);
        TimerInit();
        ASSERT_LE(0, updater.Start(ThreadWorker::PriorityNormal));
        RunMainLoop(updater, settings, frontEnd, TimerNow(), kFrameMilliseconds);
        updater.Stop();
        EXPECT_EQ(std::vector<std::string>{run.started}, frontEnd.started);
        EXPECT_EQ(run.version, InstalledVersion());
        ASSERT_LE(2u, frontEnd.lines.size());
        EXPECT_EQ("Checking", frontEnd.lines.front().substr(0, 8));
        EXPECT_EQ("", frontEnd.lines.back());
    }
    EXPECT_EQ(big, ReadWholeFile(Installed("data/a.txt")));
    EXPECT_EQ(1, server.Hits("1.1.zip"));
    EXPECT_EQ(1, server.Hits("1.2.zip"));
    EXPECT_EQ("", services.boxes);
}

} // namespace

// Without a worker thread the launcher goes on as after an aborted run: the game starts.
TEST_F(MainLoopTest, StartsTheGameWhenNoWorkerThreadCanBeStarted) {
    if (!CanForbidNewThreads())
        GTEST_SKIP() << "threads cannot be forbidden here";
    // A fresh process: no stack of an earlier test's thread is left for reuse.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    WriteIni({{"URL1", server.Url("list.xml")}, {"App", "game.exe"}});
    EXPECT_EXIT(
        {
            ForbidNewThreads();
            RecordingFrontEnd frontEnd;
            const int code = LauncherMain(frontEnd, 0);
            std::exit(code == 0 && frontEnd.started == std::vector<std::string>{"game.exe L"} ? 7
                                                                                              : 1);
        },
        ::testing::ExitedWithCode(7), "");
}

TEST_F(MainLoopTest, AWorkingDirectoryTooLongForItsPathsStartsNothing) {
    std::string deep = install;
    while (deep.size() < 300)
        deep += "/" + std::string(40, 'd');
    std::error_code error;
    std::filesystem::create_directories(deep, error);
    std::filesystem::current_path(deep, error);
    if (error)
        GTEST_SKIP() << "the system does not enter so long a path";
    WriteWholeFile(deep + "/launcher.ini", "[Config]\nApp=game.exe\n");
    RecordingFrontEnd frontEnd;
    EXPECT_EQ(1, LauncherMain(frontEnd, 0));
    EXPECT_EQ(1u, frontEnd.failures.size());
    EXPECT_TRUE(frontEnd.started.empty());
    EXPECT_TRUE(frontEnd.lines.empty());
}
