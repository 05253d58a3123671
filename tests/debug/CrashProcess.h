// What the crash reporter's test needs of each target: running the crash program, and the
// target's report conventions.
#pragma once

#include <string>
#include <vector>

// Runs the program of that name beside this test executable with args in directory and says
// how it ended: "exit N" (N in hex), "signal N", or "timeout" after a minute (it is then
// killed), or "not started".
std::string RunBesideThisProgram(const std::string& name, const std::vector<std::string>& args,
                                 const std::string& directory);

// The directory as the crashed program names it: native separators and a trailing separator.
std::string NativeDirectory(const std::string& path);

// The first register line of a report, and whether a minidump comes with it.
extern const char kFirstRegister[];
extern const bool kWritesMinidump;
