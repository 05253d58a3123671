#include "tests/debug/CrashProcess.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

const char kFirstRegister[] = "RAX:";
const bool kWritesMinidump = false;

std::string RunBesideThisProgram(const std::string& name, const std::vector<std::string>& args,
                                 const std::string& directory) {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return "not started";
    std::string program(self, size_t(length));
    program = program.substr(0, program.rfind('/') + 1) + name;
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0)
        return "not started";
    if (child == 0) {
        // No core file may land in the directory the test inspects.
        const rlimit noCore = {0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        if (chdir(directory.c_str()) == 0)
            execv(argv[0], argv.data());
        _exit(127);
    }
    const timespec step = {0, 10 * 1000 * 1000};
    for (int i = 0; i < 6000; ++i) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            char text[32];
            if (WIFSIGNALED(status))
                snprintf(text, sizeof text, "signal %d", WTERMSIG(status));
            else
                snprintf(text, sizeof text, "exit %X", unsigned(WEXITSTATUS(status)));
            return text;
        }
        nanosleep(&step, nullptr);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return "timeout";
}

std::string NativeDirectory(const std::string& path) {
    return path + "/";
}
