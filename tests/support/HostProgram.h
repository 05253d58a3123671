// Starting a program of the machine the tests run on (a Linux program), also from the Windows
// build under Wine.
#pragma once

#include <string>
#include <vector>

// Runs program (a Linux path) with args in the directory dir. Natively it returns when the
// program has ended, true when it exited with 0. Wine starts a Linux program detached, so
// there it returns once the program was started, and the caller waits for what it writes.
bool RunHostProgram(const std::string& program, const std::vector<std::string>& args,
                    const std::string& dir);
