#include "tests/support/Minisign.h"

#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

// The file's text once it holds lines line feeds (minisign writes it in one piece); empty when
// it did not appear in time.
std::string WaitForLines(const std::string& path, size_t lines) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    do {
        std::error_code code;
        if (std::filesystem::exists(path, code)) {
            const std::string text = ReadWholeFile(path);
            if (size_t(std::count(text.begin(), text.end(), '\n')) >= lines)
                return text;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    ADD_FAILURE() << "minisign (" TEST_MINISIGN_PROGRAM ") wrote no " << path;
    return std::string();
}

// Returns once minisign ended, or at once under Wine: the caller waits for the file it writes.
void RunMinisign(const std::vector<std::string>& args, const std::string& dir) {
    ChildProcess minisign(TEST_MINISIGN_PROGRAM, dir, args);
    int exitCode = 0;
    minisign.Wait(30000, &exitCode);
}

} // namespace

MinisignKey::MinisignKey() {
    RunMinisign({"-G", "-W", "-q", "-p", "key.pub", "-s", "key.sec"}, dir.Path());
    WaitForLines(PublicFile(), 2);
}

std::string MinisignKey::PublicLine() const {
    const std::string text = ReadWholeFile(PublicFile());
    const size_t start = text.find('\n') + 1;
    return text.substr(start, text.find('\n', start) - start);
}

std::string MinisignKey::Sign(const std::string& bytes, bool legacy) const {
    const std::string signature = dir / "signed.minisig";
    remove(signature.c_str());
    WriteWholeFile(dir / "signed", bytes);
    std::vector<std::string> args{"-S", "-q", "-s", "key.sec", "-m", "signed", "-t", "list"};
    if (legacy)
        args.push_back("-l");
    RunMinisign(args, dir.Path());
    return WaitForLines(signature, 4);
}
