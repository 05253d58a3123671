// The Linux launcher's status: the line it fits to a terminal, that line rewritten in place on
// a pseudo-terminal the test reads, and the plain lines it writes into a file.
#include "launcher/terminal/TerminalLine.h"
#include "tests/launcher/LauncherFixture.h"
#include "tests/support/ZipBuilder.h"
#include "updater/UpdaterState.h"

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <regex>
#include <sstream>

namespace {

constexpr double kMegabyte = 1048576.0;

StatusView View(int32_t state, const char* text, ProgressCounts counts, double bytesPerSecond,
                double secondsLeft) {
    StatusView view{};
    std::strcpy(view.text, text);
    view.progress = {state, 1, counts, bytesPerSecond, secondsLeft};
    return view;
}

TEST(TerminalLineTest, FitsTheWidthWithBarMegabytesSpeedAndTimeLeft) {
    const ProgressCounts third{float(3 * kMegabyte), float(9 * kMegabyte), 0.0f, 0.0f};
    const ProgressCounts applying{0.0f, 0.0f, float(kMegabyte), float(4 * kMegabyte)};
    const std::string longText(100, 'x');
    // The view, the terminal's width, whether the text shows the counts; the line.
    const std::tuple<StatusView, int, bool, std::string> cases[] = {
        {View(Downloading, "Downloading", third, 2.5 * kMegabyte, 125.2), 80, false,
         "Downloading [#########------------------]  33%  3.0/9.0 MB  2.5 MB/s  2:06 left"},
        {View(Downloading, "Get", third, 2.5 * kMegabyte, 3725.0), 60, true,
         "Get [########----------------]  33%  2.5 MB/s  1:02:05 left"},
        // Unknown total, speed and time left.
        {View(Downloading, "Get", {float(kMegabyte), 0.0f, 0, 0}, -1.0, -1.0), 50, false,
         "Get [------------]  1.0 MB  --.- MB/s  --:-- left"},
        {View(Extracting, "Installing 1.0 of 4.0 MB", applying, -1.0, -1.0), 50, true,
         "Installing 1.0 of 4.0 MB [####-------------]  25%"},
        // The text gives way to the shortest bar, and the whole is cut at the width.
        {View(Extracting, longText.c_str(), applying, -1.0, -1.0), 30, true,
         std::string(11, 'x') + " [##--------]  25%"},
        {View(Downloading, "Get", third, 2.5 * kMegabyte, 1.0), 20, false, "[###-------]  33%  "},
        {View(Checking, longText.c_str(), {}, -1.0, -1.0), 41, true, std::string(40, 'x')},
        {View(Finished, "", third, -1.0, -1.0), 80, true, ""},
        // Texts from launcher.ini cannot steer the terminal, with or without a bar.
        {View(Checking, "\033]0;x\a\033[2JA\r\nB\x7f\xc3\xa9", {}, -1.0, -1.0), 80, true,
         "?]0;x??[2JA??B?\xc3\xa9"},
        {View(Extracting, "\033[1A", applying, -1.0, -1.0), 30, true,
         "?[1A [####-------------]  25%"},
    };
    for (const auto& [view, columns, countsInText, expected] : cases) {
        char line[kLineSize];
        FormatTerminalLine(line, view, columns, countsInText);
        EXPECT_EQ(expected, line) << columns;
    }
    // However wide the terminal, the line stays within its buffer and one column short of it.
    char line[kLineSize];
    FormatTerminalLine(line, View(Downloading, "", third, 1.0, 1.0), 100000, true);
    EXPECT_EQ(size_t(kLineSize - 1), std::strlen(line));
    EXPECT_EQ(size_t(200 - 1),
              (FormatTerminalLine(line, View(Downloading, "", third, 1.0, 1.0), 200, true),
               std::strlen(line)));
}

// A package of 3 MB sent at about 1 MB a second.
class SlowUpdate : public LauncherEndToEnd {
protected:
    SlowUpdate() {
        const std::string package = ZipBuilder().File("big.bin", RandomBytes(3 << 20, 5)).Bytes();
        ServeChain({package});
        server.ServeSlowly("1.1.zip", package, 1 << 20);
        WriteIni({{"URL1", server.Url("list.xml")},
                  {"App", kGame},
                  {"TextCheck", "Checking"},
                  {"TextDownload", "Downloading"},
                  {"TextApply", "Installing %.1f of %.1f MB"}});
    }
};

// Everything the launcher writes to a pseudo-terminal 100 columns wide, until it and the game
// have closed it.
std::string RunOnTerminal(const std::string& directory) {
    int terminal = -1;
    winsize size{24, 100, 0, 0};
    const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
    if (child == 0) {
        // The launcher runs in a process group of its own, so that the game it starts is not
        // hung up when this process, which leads the terminal's session, ends.
        const pid_t launcher = fork();
        if (launcher == 0) {
            setpgid(0, 0);
            if (chdir(directory.c_str()) == 0)
                execl(LAUNCHER_PROGRAM, LAUNCHER_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        _exit(launcher > 0 && waitpid(launcher, &status, 0) == launcher ? 0 : 1);
    }
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (child > 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        char block[4096];
        const ssize_t count = read(terminal, block, sizeof block);
        if (count <= 0)
            break;
        output.append(block, size_t(count));
    }
    int status = 0;
    if (child > 0)
        waitpid(child, &status, 0);
    close(terminal);
    return output;
}

std::vector<std::string> Split(const std::string& text, char end) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, end);)
        parts.push_back(part);
    return parts;
}

TEST_F(SlowUpdate, OnATerminalOneLineShowsBarMegabytesSpeedAndTimeLeft) {
    const std::string output = RunOnTerminal(install);
    EXPECT_EQ(StartedLine(kGame), Started());
    EXPECT_EQ("1.1", InstalledVersion());

    // The line is rewritten in place: each drawing goes back to the line's start and clears it.
    const std::regex download(
        R"(Downloading \[(#*)-*\] +\d+%  (\d+\.\d)/3\.0 MB  (\d+\.\d) MB/s  0:0\d left)");
    const std::regex apply(R"(Installing \d\.\d of 3\.0 MB \[#*-*\] +\d+%)");
    // The last bar stays, complete, on a line of its own; nothing else ends a line.
    EXPECT_EQ(1, std::count(output.begin(), output.end(), '\n'));
    const size_t kept = output.rfind("\r\033[K");
    ASSERT_NE(std::string::npos, kept);
    EXPECT_EQ("Installing 3.0 of 3.0 MB [#", output.substr(kept + 4, 27));
    EXPECT_EQ(" 100%\r\r\n", output.substr(kept + 4 + 99 - 5)) << output.substr(kept);
    int downloads = 0, applies = 0;
    double lastDone = 0.0;
    for (std::string drawn : Split(output, '\r')) {
        if (drawn.rfind("\033[K", 0) == 0)
            drawn.erase(0, 3);
        EXPECT_GT(100u, drawn.size()) << drawn;
        std::smatch match;
        if (std::regex_match(drawn, match, download)) {
            ++downloads;
            EXPECT_EQ(99u, drawn.size()) << "the bar fills the line";
            const double done = std::stod(match[2]), speed = std::stod(match[3]);
            EXPECT_LE(lastDone, done);
            lastDone = done;
            EXPECT_LT(0.5, speed) << drawn;
            EXPECT_GT(2.0, speed) << drawn;
        }
        applies += std::regex_match(drawn, apply);
    }
    EXPECT_LE(3, downloads) << output;
    EXPECT_LE(1, applies) << output;
}

TEST_F(SlowUpdate, IntoAFileTheStatusComesAsAFewPlainLines) {
    ChildProcess launcher(LAUNCHER_PROGRAM, install);
    EXPECT_EQ(0, RunLauncher(launcher));
    EXPECT_EQ(StartedLine(kGame), Started());
    const std::vector<std::string> lines = Split(launcher.Output(), '\n');
    // The check, the download's start and about one line every 2 s of it, the apply.
    ASSERT_LE(3u, lines.size()) << launcher.Output();
    EXPECT_GE(6u, lines.size()) << launcher.Output();
    EXPECT_EQ("Checking", lines[0]);
    EXPECT_EQ(0u, lines[1].rfind("Downloading [", 0)) << lines[1];
    EXPECT_EQ(0u, lines.back().rfind("Installing ", 0)) << lines.back();
    for (const std::string& line : lines)
        EXPECT_EQ(std::string::npos, line.find_first_of("\r\033")) << line;
}

} // namespace
