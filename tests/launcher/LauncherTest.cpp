// The launcher's own units: its settings and the status line.
#include "core/strings/BoundedText.h"
#include "launcher/EntrySettings.h"
#include "launcher/StatusText.h"
#include "tests/support/TempDir.h"
#include "updater/UpdaterState.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// Missing keys take their defaults, long texts are cut, "FontSize" names the face as well.
TEST(EntrySettingsTest, MissingKeysTakeTheirDefaults) {
    TempDir dir;
    WriteWholeFile(dir / "launcher.ini",
                   "[Config]\nFontSize=20\nTextApply=" + std::string(300, 'x') + "\n");
    EntrySettings settings;
    ReadEntrySettings((dir / "launcher.ini").c_str(), &settings);
    EXPECT_EQ(100, settings.width);
    EXPECT_STREQ("New Times Roman", settings.textCheck);
    EXPECT_EQ(std::string(127, 'x'), settings.textApply);
    EXPECT_EQ("20 20", settings.fontFace + (" " + std::to_string(settings.fontSize)));
    // No bar and no speed text unless the studio asks for them.
    EXPECT_EQ(0, settings.barWidth);
    EXPECT_EQ(255, settings.barG);
    EXPECT_EQ(-1, settings.barBackB);
    EXPECT_STREQ("", settings.textSpeed);
}

TEST(StatusTextTest, DotsAndMegabytesAndNoHarmFromAnyFormat) {
    EXPECT_FLOAT_EQ(4.0f, AdvanceDotPhase(2.5f, 1.0f)); // exactly 4 stays
    EXPECT_FLOAT_EQ(0.0f, AdvanceDotPhase(3.9f, 0.1f));

    const std::string longCheck(126, 'c');
    // The state, the dots' phase, the text for the state, and what it shows.
    const std::tuple<int32_t, float, const char*, std::string> cases[] = {
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
        for (char* shown : {texts.textCheck, texts.textDownload, texts.textApply})
            StrCopy(shown, EntrySettings::kTextSize, text);
        char status[kStatusSize];
        FormatStatus(status, state, phase, texts,
                     {3145728.0f, 10485760.0f, 1572864.0f, 2097152.0f});
        EXPECT_EQ(expected, status) << text;
    }
}

} // namespace
