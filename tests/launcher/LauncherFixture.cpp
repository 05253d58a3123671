#include "tests/launcher/LauncherFixture.h"

#include "tests/support/ZipBuilder.h"
#include "tools/release/ReleaseTool.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

const std::string kGame = "game" + fs::path(TEST_GAME_PROGRAM).extension().string();

namespace {

constexpr int kRunMilliseconds = 30000;

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

LauncherEndToEnd::LauncherEndToEnd() : install(Slashed(root / "install")) {
    fs::create_directories(install + "/bin");
    WriteWholeFile(install + "/bin/Launcher.bmp", SplashBitmap());
    Install(kGame);
    Install("LauncherUpdater.exe");
}

void LauncherEndToEnd::Install(const std::string& name) {
    fs::copy_file(TEST_GAME_PROGRAM, install + "/" + name);
}

void LauncherEndToEnd::WriteIni(const std::map<std::string, std::string>& keys) {
    std::string text = "[Config]\r\n";
    for (const auto& key : keys)
        text += key.first + "=" + key.second + "\r\n";
    WriteWholeFile(install + "/launcher.ini", text);
}

void LauncherEndToEnd::GameVersion(const std::string& version, const std::string& before,
                                   const std::map<std::string, std::string>& files) {
    const std::string tree = studio / version;
    if (before.empty())
        fs::create_directories(tree);
    else
        fs::copy(studio / before, tree, fs::copy_options::recursive);
    for (const auto& file : files) {
        fs::create_directories(fs::path(tree + "/" + file.first).parent_path());
        WriteWholeFile(tree + "/" + file.first, file.second);
    }
}

std::string LauncherEndToEnd::Release(const std::string& from, const std::string& to) {
    std::vector<std::string> args = {"gamerelease", "package",      studio / from, studio / to,
                                     "--from",      from,           "--to",        to,
                                     "--url",       server.Url(""), "--out",       site.Path()};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    FILE* log = std::tmpfile();
    EXPECT_EQ(0, ReleaseToolMain(int(argv.size()), argv.data(), log, log, nullptr));
    std::fclose(log);
    return "update-" + from + "-to-" + to + ".zip";
}

void LauncherEndToEnd::ServeSite() {
    for (const auto& item : fs::directory_iterator(site.Path()))
        server.Serve(item.path().filename().string(), ReadWholeFile(item.path().string()));
}

void LauncherEndToEnd::ReleaseChain() {
    GameVersion("1.0", "", {{"data/version.txt", "1.0"}});
    GameVersion("1.1", "1.0", {{"data/version.txt", "1.1"}, {"data/levels/forest.txt", Level()}});
    GameVersion("1.2", "1.1", {{"data/version.txt", "1.2"}});
    Release("1.0", "1.1");
    Release("1.1", "1.2");
    fs::create_directories(install + "/data");
    WriteWholeFile(install + "/data/version.txt", "1.0");
}

std::string LauncherEndToEnd::Level() {
    return CompressibleText(2 << 20, 1);
}

int LauncherEndToEnd::RunLauncher(ChildProcess& launcher) {
    int exitCode = -1;
    EXPECT_TRUE(launcher.Started());
    EXPECT_TRUE(launcher.Wait(kRunMilliseconds, &exitCode)) << "the launcher did not end";
    return exitCode;
}

std::string LauncherEndToEnd::Started() {
    const std::string path = install + "/started.txt";
    for (int wait = 0; wait < 500; ++wait) {
        const std::string text = Slashed(ReadWholeFile(path));
        if (!text.empty() && text.back() == '\n')
            return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Slashed(ReadWholeFile(path));
}

std::string LauncherEndToEnd::StartedLine(const std::string& name) const {
    return name + " [L] in " + install + "\n";
}

std::string LauncherEndToEnd::Installed(const std::string& name) const {
    return ReadWholeFile(install + "/" + name);
}

std::string LauncherEndToEnd::InstalledVersion() const {
    const std::string text = Installed("installed_updates");
    const size_t begin = text.find("<to>"), end = text.find("</to>");
    return begin == std::string::npos || end == std::string::npos
               ? std::string()
               : text.substr(begin + 4, end - begin - 4);
}
