// The splash window on the screen, under Wine in Xvfb: its picture, and the checking text in
// the configured colour inside the text rectangle, while a stalled server holds the check.
#include "tests/launcher/LauncherFixture.h"
#include "tests/launcher/win32/ScreenCapture.h"

#include <chrono>
#include <thread>

namespace {

TEST_F(LauncherEndToEnd, TheSplashShowsItsPictureAndTheCheckingText) {
    server.ServeStalling("list.xml", "<?xml version=\"1.0\"?><game></game>", 0);
    WriteIni({{"URL1", server.Url("list.xml")},
              {"App", kGame},
              {"width", "320"},
              {"height", "160"},
              {"FontSize", "28"},
              {"Font_r", "300"}, // low 8 bits: 44
              {"Font_g", "250"},
              {"Font_b", "20"},
              {"text_x", "16"},
              {"text_y", "90"},
              {"TextCheck", "Checking for updates"}});
    ChildProcess launcher(LAUNCHER_PROGRAM, install);
    std::vector<void*> windows;
    for (int wait = 0; wait < 1000 && (windows.empty() || server.Hits("list.xml") == 0); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        windows = launcher.Windows("ZEdaroDozaza");
    }
    ASSERT_EQ(1u, windows.size());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // painted, some dots grown
    RECT placed;
    ASSERT_TRUE(GetWindowRect(static_cast<HWND>(windows[0]), &placed));
    const ScreenCapture shot = CaptureWindow(static_cast<HWND>(windows[0]));
    EXPECT_TRUE(WriteBitmapFile("splash-screenshot.bmp", shot));
    launcher.Close();
    int exitCode = -1;
    EXPECT_TRUE(launcher.Wait(5000 + kCloseDelayMilliseconds, &exitCode));
    EXPECT_EQ(0, exitCode);

    // Centred on the desktop.
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 320) / 2, placed.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 160) / 2, placed.top);
    ASSERT_EQ(320, shot.width);
    ASSERT_EQ(160, shot.height);
    const uint32_t textColour = 0x2CFA14;
    int textInside = 0, textOutside = 0, picture = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const uint32_t pixel = shot.At(x, y);
            picture += pixel == kSplashColour;
            if (pixel == textColour)
                ++(x >= 16 && y >= 90 ? textInside : textOutside);
        }
    EXPECT_LT(50, textInside);
    EXPECT_EQ(0, textOutside);
    // Everything that is not lettering is the picture.
    EXPECT_LT(shot.width * shot.height * 8 / 10, picture);
    EXPECT_EQ(kSplashColour, shot.At(0, 0));
    EXPECT_EQ(kSplashColour, shot.At(319, 159));
}

} // namespace
