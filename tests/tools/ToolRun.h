// Running a tool's in-process entry from a test, with its output and error streams caught.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

struct ToolOutcome {
    int code;
    std::string out;
    std::string err;
};

// A tool's entry: argc, argv, output stream, error stream; returns the exit code.
using ToolEntry = std::function<int(int, char**, FILE*, FILE*)>;

// Runs entry on program followed by args; the streams pass through files in dir.
ToolOutcome RunTool(const ToolEntry& entry, const std::string& program,
                    std::vector<std::string> args, const std::string& dir);

bool Contains(const std::string& text, const std::string& part);
