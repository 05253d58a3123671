// The splash window on the screen, under Wine in Xvfb: its picture, and the checking text in
// the configured colour inside the text rectangle, while a stalled server holds the check.
#include "tests/launcher/LauncherFixture.h"
#include "tests/launcher/win32/ScreenCapture.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

TEST_F(LauncherEndToEnd, TheSplashShowsItsPictureAndTheCheckingText) {
    const uint32_t kPicture = 0x102080;
    std::filesystem::create_directory(Installed("bin"));
    ASSERT_TRUE(WriteBitmapFile(Installed("bin/Launcher.bmp"),
                                {320, 160, std::vector<uint32_t>(320 * 160, kPicture)}));
    server.ServeStalling("list.xml", "<?xml version=\"1.0\"?><game></game>", 0);
    // Only the low 8 bits of a colour part count: red 300 is 44.
    WriteWholeFile(Installed("launcher.ini"),
                   "[Config]\nURL1=" + server.Url("list.xml") + "\nApp=" + kGame +
                       "\nwidth=320\nheight=160\nFontSize=28\nFont_r=300\nFont_g=250\nFont_b=20\n"
                       "text_x=16\ntext_y=90\nTextCheck=Checking for updates\n");
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

    // Centred on the desktop.
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 320) / 2, placed.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 160) / 2, placed.top);
    ASSERT_EQ(320, shot.width);
    ASSERT_EQ(160, shot.height);
    int textInside = 0, textOutside = 0, picture = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            picture += shot.At(x, y) == kPicture;
            if (shot.At(x, y) == 0x2CFA14)
                ++(x >= 16 && y >= 90 ? textInside : textOutside);
        }
    EXPECT_LT(50, textInside);
    EXPECT_EQ(0, textOutside);
    // Everything that is not lettering is the picture.
    EXPECT_LT(shot.width * shot.height * 8 / 10, picture);
    EXPECT_EQ(kPicture, shot.At(0, 0));
    EXPECT_EQ(kPicture, shot.At(319, 159));
}

} // namespace
