// The updater against curl and unzip on a package of about 200 MB (10 000 small files, a few
// large ones, part of it incompressible) and, with --large, on one of about 2 GB (the same
// with the large files twelve times as large), served from a local HTTP server (python3's
// http.server in a child process, so that its memory is not counted). Measures a whole update
// run that applies the package into a fresh installation, and `curl -o` plus `unzip -o` of the
// same package into a fresh directory; prints for each package the time ratio ours / theirs
// (goal <= 0.6) and the updater's peak resident memory (goal <= 48 MB, whatever the size).
//
//   bench/run-updater-bench.sh [--large] [BUILD_DIR]
//
// The data is generated into a fresh temporary directory and removed afterwards.
#include "core/platform/TempFile.h"
#include "core/strings/BoundedText.h"
#include "updater/PackageHash.h"
#include "updater/Updater.h"

#include <sodium.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 3;
constexpr int kSettleSeconds = 2;
// ext4 without a journal passes over inodes freed within the last minute each time it makes a
// file, so that making thousands is several times as slow right after others were removed
// (tests, an earlier run of this benchmark): no run starts before this many seconds after the
// benchmark did, and nothing is removed before the last run. Inodes whose table block waits to
// be written count for six minutes, which only waiting before the benchmark helps against.
constexpr int kQuietSeconds = 65;
constexpr int kSmallFiles = 10000;
// The argument that makes the benchmark one update run in the working directory.
constexpr const char kUpdateHere[] = "--update-here";

[[noreturn]] void Fail(const std::string& message) {
    fprintf(stderr, "updater_bench: %s\n", message.c_str());
    exit(1);
}

class Bytes {
public:
    explicit Bytes(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }

private:
    uint64_t state;
};

// Incompressible bytes.
std::string RandomData(size_t size, uint64_t seed) {
    Bytes bytes(seed);
    std::string data(size, '\0');
    for (size_t i = 0; i < size; i += 8) {
        const uint64_t value = bytes.Next();
        for (size_t k = 0; k < 8 && i + k < size; ++k)
            data[i + k] = char(value >> (8 * k));
    }
    return data;
}

// Text of game-data-like words that deflates to about a quarter.
std::string TextData(size_t size, uint64_t seed) {
    static const char* const kWords[] = {
        "mesh ", "texture ", "level ", "sound ", "script ", "shader ", "entity ", "vertex\n",
        "0.25 ", "1024 ",    "true ",  "name=",  "scale ",  "alpha ",  "beta ",   "model\n"};
    Bytes bytes(seed);
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        const uint64_t value = bytes.Next();
        for (int k = 0; k < 8 && text.size() < size; ++k)
            text += kWords[(value >> (4 * k)) & 15];
    }
    text.resize(size);
    return text;
}

// Writes size bytes made by make (size, seed) in pieces of at most 64 MB, so that large files
// never sit in memory whole.
void WriteFile(const fs::path& path, uint64_t size, std::string (*make)(size_t, uint64_t),
               uint64_t seed) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    for (uint64_t done = 0; done < size; done += 64u << 20, ++seed) {
        const std::string piece = make(size_t(std::min<uint64_t>(size - done, 64u << 20)), seed);
        out.write(piece.data(), std::streamsize(piece.size()));
    }
    if (!out)
        Fail("cannot write " + path.string());
}

void WriteFile(const fs::path& path, const std::string& data) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(data.data(), std::streamsize(data.size()));
    if (!out)
        Fail("cannot write " + path.string());
}

// The package's files: many small ones in nested folders, two large incompressible ones, one
// large text and one mixed; scale multiplies the large ones.
void MakeContents(const fs::path& root, uint64_t scale) {
    Bytes sizes(7);
    for (int i = 0; i < kSmallFiles; ++i) {
        const size_t size = 512 + sizes.Next() % 16384;
        const std::string name = "data/set" + std::to_string(i % 50) + "/part" +
                                 std::to_string(i % 7) + "/file" + std::to_string(i) + ".dat";
        WriteFile(root / name, size, i % 4 == 0 ? RandomData : TextData, uint64_t(i));
    }
    const uint64_t megabyte = 1u << 20;
    WriteFile(root / "video/intro.bik", 80 * megabyte * scale, RandomData, 1001);
    WriteFile(root / "video/outro.bik", 55 * megabyte * scale, RandomData, 1002);
    WriteFile(root / "levels/world.txt", 120 * megabyte * scale, TextData, 1003);
    WriteFile(root / "bin/game.exe", 10 * megabyte * scale, TextData, 1004);
    WriteFile(root / "bin/game.dat", 10 * megabyte * scale, RandomData, 1005);
}

int Run(const std::string& command) {
    const int status = system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

uint16_t FreePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(probe, (sockaddr*)&address, sizeof address) != 0 ||
        getsockname(probe, (sockaddr*)&address, &length) != 0)
        Fail("no free port");
    close(probe);
    return ntohs(address.sin_port);
}

bool Accepts(uint16_t port) {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool accepted = connect(probe, (sockaddr*)&address, sizeof address) == 0;
    close(probe);
    return accepted;
}

// python3's http.server over directory, in a child process.
pid_t StartServer(const fs::path& directory, uint16_t port) {
    const pid_t child = fork();
    if (child == 0) {
        // Its request log would bury the results.
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        const std::string portText = std::to_string(port);
        const std::string directoryText = directory.string();
        execlp("python3", "python3", "-m", "http.server", portText.c_str(), "--bind", "127.0.0.1",
               "--directory", directoryText.c_str(), (char*)nullptr);
        _exit(127);
    }
    for (int attempt = 0; attempt < 200 && !Accepts(port); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (!Accepts(port))
        Fail("the python3 http.server did not start");
    return child;
}

struct Measured {
    double seconds;
    long peakKilobytes;
};

// One update run in the working directory, as the child of UpdateRun: 0 when it applied the
// package.
int UpdateHere() {
    const std::string directory = fs::current_path().string();
    Updater updater;
    StrCopy(updater.iniPath, sizeof updater.iniPath, (directory + "/launcher.ini").c_str());
    StrCopy(updater.launcherMarkerPath, sizeof updater.launcherMarkerPath,
            (directory + "/Launcher").c_str());
    updater.Start(ThreadWorker::PriorityNormal);
    updater.Stop();
    return updater.state.load() == Finished && strcmp(updater.currentVersion, "1.1") == 0 ? 0 : 3;
}

// A whole update run in a fresh process started in install, so that its peak resident memory
// is the updater's own and nothing of the benchmark's.
Measured UpdateRun(const fs::path& install, const std::string& listUrl) {
    fs::create_directories(install);
    WriteFile(install / "launcher.ini", "[Config]\r\nURL1=" + listUrl + "\r\n");
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(install.c_str()) == 0)
            execl("/proc/self/exe", "updater_bench", kUpdateHere, (char*)nullptr);
        _exit(2);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Fail("the update run did not apply the package");
    return Measured{seconds, usage.ru_maxrss};
}

double CurlAndUnzip(const fs::path& target, const std::string& packageUrl) {
    fs::create_directories(target);
    const std::string archive = (target / "package.zip").string();
    const auto start = std::chrono::steady_clock::now();
    if (Run("curl -s -f -o '" + archive + "' '" + packageUrl + "' && unzip -q -o '" + archive +
            "' -d '" + (target / "out").string() + "'") != 0)
        Fail("curl or unzip failed");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const auto benchmarkStarted = std::chrono::steady_clock::now();

// Writes everything out and lets the disk go quiet.
void Settle() {
    sync();
    std::this_thread::sleep_for(std::chrono::seconds(kSettleSeconds));
    std::this_thread::sleep_until(benchmarkStarted + std::chrono::seconds(kQuietSeconds));
}

std::string Sha256Text(const fs::path& path) {
    uint8_t hash[crypto_hash_sha256_BYTES];
    char text[2 * sizeof hash + 1];
    if (!FileSha256(path.c_str(), hash))
        Fail("cannot read " + path.string());
    sodium_bin2hex(text, sizeof text, hash, sizeof hash);
    return text;
}

uint64_t TreeBytes(const fs::path& root) {
    uint64_t total = 0;
    for (const auto& item : fs::recursive_directory_iterator(root))
        if (item.is_regular_file())
            total += item.file_size();
    return total;
}

// Makes a package of the contents at scale, serves it and measures rounds update runs and
// rounds of curl -o plus unzip -o; prints the best times, their ratio and the peak memory.
void Measure(const fs::path& work, uint64_t scale, int rounds) {
    fs::create_directories(work / "served");
    printf("generating the package (scale %llu) ...\n", (unsigned long long)scale);
    fflush(stdout);
    MakeContents(work / "contents", scale);
    if (Run("cd '" + (work / "contents").string() + "' && zip -q -r -X '" +
            (work / "served/package.zip").string() + "' .") != 0)
        Fail("zip failed");
    const uint64_t contentBytes = TreeBytes(work / "contents");
    const uint64_t packageBytes = fs::file_size(work / "served/package.zip");

    const uint16_t port = FreePort();
    const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/";
    // As the release tool lists it: with the package's hash and size, which the updater checks.
    WriteFile(work / "served/list.xml",
              "<?xml version=\"1.0\"?>\n<game>\n   <update>\n      <for>1.0</for>\n"
              "      <to>1.1</to>\n      <name>bench</name>\n      <file>" +
                  base + "package.zip</file>\n      <sha256>" +
                  Sha256Text(work / "served/package.zip") + "</sha256>\n      <size>" +
                  std::to_string(packageBytes) + "</size>\n   </update>\n</game>\n");
    const pid_t server = StartServer(work / "served", port);

    // A run should not pay for the writing of the one before: each starts on a synced disk.
    double ours = 1e30;
    double theirs = 1e30;
    long peakKilobytes = 0;
    for (int round = 0; round < rounds; ++round) {
        const std::string suffix = std::to_string(round);
        Settle();
        const Measured run = UpdateRun(work / ("install" + suffix), base + "list.xml");
        if (TreeBytes(work / ("install" + suffix)) < contentBytes)
            Fail("the installation misses files");
        ours = std::min(ours, run.seconds);
        peakKilobytes = std::max(peakKilobytes, run.peakKilobytes);
        Settle();
        theirs = std::min(theirs, CurlAndUnzip(work / ("peer" + suffix), base + "package.zip"));
    }
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    fs::remove_all(work);
    sync();

    const double megabyte = 1048576.0;
    printf("package %.1f MB (%.1f MB unpacked, %d small files and 5 large)\n",
           double(packageBytes) / megabyte, double(contentBytes) / megabyte, kSmallFiles);
    printf("  best of %d: updater %.3f s   curl -o + unzip -o %.3f s   ratio %.3f (goal <= 0.60)\n",
           rounds, ours, theirs, ours / theirs);
    printf("  updater peak resident %.1f MB (goal <= 48 MB)\n",
           double(peakKilobytes) * 1024.0 / megabyte);
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], kUpdateHere) == 0)
        return UpdateHere();
    const bool large = argc > 1 && strcmp(argv[1], "--large") == 0;
    if (argc > 2 || (argc == 2 && !large))
        Fail("usage: updater_bench [--large]");
    char scratch[512];
    if (!PlatformCreateTempFile(scratch, sizeof scratch))
        Fail("no temporary directory");
    const fs::path work = std::string(scratch) + ".bench";
    fs::remove(scratch);
    if (sodium_init() < 0)
        Fail("libsodium does not start");
    Measure(work, 1, kRounds);
    if (large)
        Measure(work, 12, 1);
    return 0;
}
