#include "tests/support/ChildProcess.h"

#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

extern char** environ;

const int kCloseDelayMilliseconds = 0;

namespace {
std::string OutputName(const char* kind) {
    static std::atomic<unsigned> counter{0};
    return "/tmp/child-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "." + kind;
}
} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::string& directory)
    : outputPath(OutputName("out")), errorPath(OutputName("err")) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    char* arguments[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t child = 0;
    started = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    id = int(child);
}

ChildProcess::~ChildProcess() {
    if (started && !ended) {
        kill(id, SIGKILL);
        waitpid(id, nullptr, 0);
    }
    unlink(outputPath.c_str());
    unlink(errorPath.c_str());
}

bool ChildProcess::Wait(int timeoutMilliseconds, int* exitCode) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (started && !ended) {
        int status = 0;
        if (waitpid(id, &status, WNOHANG) == id) {
            ended = true;
            *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void ChildProcess::Close() {
    if (started && !ended)
        kill(id, SIGINT);
}

std::vector<std::string> ChildProcess::Boxes() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(errorPath));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<void*> ChildProcess::Windows(const char*) const {
    return {};
}

std::string ChildProcess::Output() const {
    return ReadWholeFile(outputPath);
}
