#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

const int kCloseDelayMilliseconds = 0;

ChildProcess::ChildProcess(const std::string& program, const std::string& directory,
                           const std::vector<std::string>& args) {
    // Everything the child needs is made before the fork: other threads may hold locks.
    const std::string out = files / "out", err = files / "err";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        // No core file may land in a directory a test inspects.
        const rlimit noCore = {0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        const int outFile = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (outFile >= 0 && errFile >= 0 && dup2(outFile, 1) >= 0 && dup2(errFile, 2) >= 0 &&
            chdir(directory.c_str()) == 0)
            execv(argv[0], argv.data());
        _exit(127);
    }
    started = child > 0;
    id = int(child);
}

ChildProcess::~ChildProcess() {
    if (started && !ended) {
        kill(id, SIGKILL);
        waitpid(id, nullptr, 0);
    }
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

void ChildProcess::Kill() {
    if (started && !ended) {
        kill(id, SIGKILL);
        waitpid(id, nullptr, 0);
        ended = true;
    }
}

void SetChildEnvironment(const char* name, const char* value) {
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

void ChildProcess::Close() {
    if (started && !ended)
        kill(id, SIGINT);
}

std::vector<std::string> ChildProcess::Boxes() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(files / "err"));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<void*> ChildProcess::Windows(const char*) const {
    return {};
}
