// The release tool's commands and what they share; each command lives in its own file.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct ReleaseIo {
    FILE* out;
    FILE* err;
    FILE* progress; // null: no progress line

    // Prints "gamerelease: error: MESSAGE" and returns the exit code of a failed command.
    int Fail(const std::string& message) const;
};

constexpr int kUsageError = 2;

using ReleaseArgs = std::vector<std::string>;

int PackageCommand(const ReleaseArgs& args, const ReleaseIo& io);
int CheckCommand(const ReleaseArgs& args, const ReleaseIo& io);

// The list a site serves when no other name is given.
constexpr const char* kDefaultListName = "list.xml";
