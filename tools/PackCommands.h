// The pack tool's commands and what they share; each command lives in its own file.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct ToolIo {
    FILE* out;
    FILE* err;

    // Prints "packtool: error: ..." and returns the exit code of a failed command.
    int Fail(const char* format, ...) const
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
};

using ToolArgs = std::vector<std::string>;

int BuildCommand(const ToolArgs& args, const ToolIo& io);
int ListCommand(const ToolArgs& args, const ToolIo& io);
int ExtractCommand(const ToolArgs& args, const ToolIo& io);
int IndexCommand(const ToolArgs& args, const ToolIo& io);
int ChecksumCommand(const ToolArgs& args, const ToolIo& io);

// Every regular file below dir, as paths relative to it with '/' separators, sorted. False
// (with a message in *error) when dir cannot be walked.
bool ListFilesBelow(const std::string& dir, std::vector<std::string>* files, std::string* error);
