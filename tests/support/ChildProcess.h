// A program run as a user runs it: in a directory of the test's choice, its window closed (Ctrl-C
// on a terminal), OK pressed on each message box. Under Wine a Linux program cannot be waited for.
#pragma once

#include "tests/support/TempDir.h"

#include <string>
#include <vector>

// How much longer a window may take to go away after Close: Wine without a window manager waits
// up to 2 s for the X server to withdraw it.
extern const int kCloseDelayMilliseconds;

// Sets (or, with a null value, removes) a variable of the environment that programs started
// from now on get.
void SetChildEnvironment(const char* name, const char* value);

class ChildProcess {
public:
    // Starts program with args in directory; its standard output and error go to files.
    ChildProcess(const std::string& program, const std::string& directory,
                 const std::vector<std::string>& args = {});
    // Kills the program if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return started; }
    // Waits at most timeoutMilliseconds for the program to end; true with its exit code (128 +
    // the signal after a POSIX signal) when it did. Boxes shown meanwhile are answered with OK.
    bool Wait(int timeoutMilliseconds, int* exitCode);
    // Closes its window: WM_CLOSE to its top-level windows on Windows, SIGINT elsewhere.
    void Close();
    // Ends it at once, as a crash or a power cut would: TerminateProcess on Windows, SIGKILL
    // elsewhere. Returns once it has ended.
    void Kill();
    // "caption: text" of every message box shown so far (on POSIX: every line on standard error).
    std::vector<std::string> Boxes() const;
    // Its visible top-level windows of the window class className (Windows only).
    std::vector<void*> Windows(const char* className) const;
    // What it wrote to standard output (nothing for a Windows GUI program).
    std::string Output() const { return ReadWholeFile(files / "out"); }

private:
    void AnswerBoxes();

    TempDir files; // its standard output and error
    bool started = false;
    bool ended = false;
    std::vector<std::string> boxes;
    std::vector<void*> answered; // boxes pressed already, until they are gone
    void* process = nullptr;     // the native handle (Windows)
    int id = 0;                  // the process identifier
};
