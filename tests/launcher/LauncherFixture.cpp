#include "tests/launcher/LauncherFixture.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

const std::string kGame = "game" + fs::path(TEST_GAME_PROGRAM).extension().string();

LauncherEndToEnd::LauncherEndToEnd() {
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
    std::string text;
    for (int wait = 0; wait < 500 && (text.empty() || text.back() != '\n'); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        text = ReadWholeFile(Installed("started.txt"));
    }
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

std::string LauncherEndToEnd::StartedLine(const std::string& name) const {
    return name + " [L] in " + install + "\n"; // the temporary directory is named with '/'
}
