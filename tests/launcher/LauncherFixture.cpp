#include "tests/launcher/LauncherFixture.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

const std::string kGame = "game" + fs::path(TEST_GAME_PROGRAM).extension().string();

namespace {

std::string Slashed(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// A 24-bit picture, 320 x 160 in one colour; bottom-up rows need no padding at this width.
std::string SplashBitmap() {
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
        put(kSplashColour, 3); // stored blue, green, red
    return bmp;
}

} // namespace

LauncherEndToEnd::LauncherEndToEnd() {
    fs::create_directories(Installed("bin"));
    WriteWholeFile(Installed("bin/Launcher.bmp"), SplashBitmap());
    Install(kGame);
    Install("LauncherUpdater.exe");
}

void LauncherEndToEnd::Install(const std::string& name) {
    fs::copy_file(TEST_GAME_PROGRAM, Installed(name));
}

void LauncherEndToEnd::ServeChain(const std::vector<std::string>& packages) {
    std::vector<ListEntry> entries;
    for (size_t i = 0; i < packages.size(); ++i) {
        const std::string to = "1." + std::to_string(i + 1);
        server.Serve(to + ".zip", packages[i]);
        entries.push_back({"1." + std::to_string(i), to, server.Url(to + ".zip")});
    }
    server.Serve("list.xml", ListXml(entries));
}

int LauncherEndToEnd::RunLauncher(ChildProcess& launcher) {
    int exitCode = -1;
    EXPECT_TRUE(launcher.Started());
    EXPECT_TRUE(launcher.Wait(30000, &exitCode)) << "the launcher did not end";
    return exitCode;
}

std::string LauncherEndToEnd::Started() {
    for (int wait = 0; wait < 500; ++wait) {
        const std::string text = Slashed(ReadWholeFile(Installed("started.txt")));
        if (!text.empty() && text.back() == '\n')
            return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Slashed(ReadWholeFile(Installed("started.txt")));
}

std::string LauncherEndToEnd::StartedLine(const std::string& name) const {
    return name + " [L] in " + Slashed(install) + "\n";
}
