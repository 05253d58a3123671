// The splash window on the screen, under Wine in Xvfb: its picture, the status text in the
// configured colour inside the text rectangle, and the progress bar where the studio placed one.
#include "tests/launcher/LauncherFixture.h"
#include "tests/launcher/win32/ScreenCapture.h"
#include "tests/support/ZipBuilder.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

constexpr uint32_t kPicture = 0x102080;
constexpr int kWidth = 320;
constexpr int kHeight = 160;

// Keeps a capture for a person to look at when SPLASH_SHOTS names a directory.
void Keep(const ScreenCapture& shot, const std::string& name) {
    if (const char* directory = std::getenv("SPLASH_SHOTS"))
        WriteBitmapFile(std::string(directory) + "/" + name, shot);
}

class Splash : public LauncherEndToEnd {
protected:
    Splash() {
        std::filesystem::create_directory(Installed("bin"));
        EXPECT_TRUE(
            WriteBitmapFile(Installed("bin/Launcher.bmp"),
                            {kWidth, kHeight, std::vector<uint32_t>(kWidth * kHeight, kPicture)}));
    }

    // Starts the launcher with these settings after the common ones; waits for its window and
    // for the first request of path.
    HWND Start(const std::string& settings, const std::string& path) {
        WriteWholeFile(Installed("launcher.ini"), "[Config]\nURL1=" + server.Url("list.xml") +
                                                      "\nApp=" + kGame +
                                                      "\nwidth=320\nheight=160\n" + settings);
        launcher = std::make_unique<ChildProcess>(LAUNCHER_PROGRAM, install);
        std::vector<void*> windows;
        for (int wait = 0; wait < 1000 && (windows.empty() || server.Hits(path) == 0); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            windows = launcher->Windows("ZEdaroDozaza");
        }
        EXPECT_EQ(1u, windows.size());
        return windows.empty() ? nullptr : static_cast<HWND>(windows[0]);
    }

    // A package of 2 MB sent at 512 KB a second: about 4 s of download.
    void ServeSlowPackage() {
        package = ZipBuilder().File("big.bin", RandomBytes(2 << 20, 7)).Bytes();
        ServeChain({package});
        server.ServeSlowly("1.1.zip", package, kRate);
    }

    static constexpr size_t kRate = 512 << 10;
    std::string package;
    std::unique_ptr<ChildProcess> launcher;
};

TEST_F(Splash, ShowsItsPictureAndTheCheckingText) {
    server.ServeStalling("list.xml", "<?xml version=\"1.0\"?><game></game>", 0);
    // Only the low 8 bits of a colour part count: red 300 is 44.
    HWND window = Start("FontSize=28\nFont_r=300\nFont_g=250\nFont_b=20\ntext_x=16\ntext_y=90\n"
                        "TextCheck=Checking for updates\n",
                        "list.xml");
    ASSERT_TRUE(window);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // painted, some dots grown
    RECT placed;
    ASSERT_TRUE(GetWindowRect(window, &placed));
    const ScreenCapture shot = CaptureWindow(window);

    // Centred on the desktop.
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2, placed.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, placed.top);
    ASSERT_EQ(kWidth, shot.width);
    ASSERT_EQ(kHeight, shot.height);
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

// The filled part, from the bar's left edge, grows with the transfer: at 2 s about half of the
// package has arrived. The rest of the bar has the track's colour; text and picture elsewhere,
// where nothing is repainted.
TEST_F(Splash, TheBarFollowsASlowedDownload) {
    ServeSlowPackage();
    constexpr uint32_t kBar = 0xE0C020, kTrack = 0x303030;
    constexpr int kBarX = 20, kBarY = 130, kBarWidth = 280, kBarHeight = 12;
    HWND window =
        Start("FontSize=20\nFont_r=255\nFont_g=255\nFont_b=255\ntext_x=16\ntext_y=20\n"
              "TextDownload=Downloading %.1f of %.1f MB\n"
              "TextSpeed=, %.1f MB/s, %.0f:%02.0f left\n"
              "bar_x=20\nbar_y=130\nbar_width=280\nbar_height=12\n"
              "Bar_r=224\nBar_g=192\nBar_b=32\nBarBack_r=48\nBarBack_g=48\nBarBack_b=48\n",
              "1.1.zip");
    ASSERT_TRUE(window);
    const auto requested = std::chrono::steady_clock::now();
    // A mark on the window outside the bar and the text: a repaint of anything more than their
    // rectangles would wipe it.
    constexpr RECT kMark = {2, 2, 12, 12};
    constexpr uint32_t kMarkColour = 0xFF00FF;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    HDC drawn = GetDC(window);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(drawn, &kMark, brush);
    DeleteObject(brush);
    ReleaseDC(window, drawn);
    int previous = 0;
    for (const double seconds : {2.0, 3.0}) {
        std::this_thread::sleep_until(requested + std::chrono::milliseconds(int(seconds * 1000)));
        const ScreenCapture shot = CaptureWindow(window);
        Keep(shot, "splash-bar-" + std::to_string(int(seconds)) + "s.bmp");
        ASSERT_EQ(kWidth, shot.width);
        ASSERT_EQ(kHeight, shot.height);
        int filled = 0;
        while (filled < kBarWidth && shot.At(kBarX + filled, kBarY) == kBar)
            ++filled;
        const double expected = seconds * kRate / double(package.size()) * kBarWidth;
        EXPECT_NEAR(expected, filled, 0.15 * kBarWidth) << seconds;
        EXPECT_LT(previous, filled);
        previous = filled;
        int wrong = 0, lettering = 0;
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x) {
                const bool inBar =
                    x >= kBarX && x < kBarX + kBarWidth && y >= kBarY && y < kBarY + kBarHeight;
                const uint32_t pixel = shot.At(x, y);
                if (inBar)
                    wrong += pixel != (x < kBarX + filled ? kBar : kTrack);
                else if (x >= kMark.left && x < kMark.right && y >= kMark.top && y < kMark.bottom)
                    wrong += pixel != kMarkColour;
                else if (x >= 16 && y >= 20 && y < 120)
                    lettering += pixel != kPicture;
                else
                    wrong += pixel != kPicture;
            }
        EXPECT_EQ(0, wrong) << seconds;
        EXPECT_LT(100, lettering) << seconds;
    }
}

// Without the bar's keys the window during a download is what it always was: the picture and
// the status text, nothing else.
TEST_F(Splash, WithoutABarTheWindowIsPictureAndText) {
    ServeSlowPackage();
    HWND window = Start("FontSize=20\nFont_r=255\nFont_g=255\nFont_b=255\ntext_x=16\ntext_y=20\n"
                        "TextDownload=Downloading %.1f of %.1f MB\n"
                        "TextSpeed=, %.1f MB/s, %.0f:%02.0f left\n",
                        "1.1.zip");
    ASSERT_TRUE(window);
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    const ScreenCapture shot = CaptureWindow(window);
    Keep(shot, "splash-no-bar.bmp");
    ASSERT_EQ(kWidth, shot.width);
    ASSERT_EQ(kHeight, shot.height);
    int outside = 0, white = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const bool inText = x >= 16 && y >= 20 && y < 120;
            outside += !inText && shot.At(x, y) != kPicture;
            white += inText && shot.At(x, y) == 0xFFFFFF;
        }
    EXPECT_EQ(0, outside);
    EXPECT_LT(100, white);
}

} // namespace
