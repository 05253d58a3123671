#include "tests/support/HostProgram.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

bool RunHostProgram(const std::string& program, const std::vector<std::string>& args,
                    const std::string& dir) {
    // Everything the child needs is made before the fork: other threads may hold locks.
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        // What it prints is not the test's output.
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0)
            dup2(quiet, STDOUT_FILENO);
        if (chdir(dir.c_str()) == 0)
            execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}
