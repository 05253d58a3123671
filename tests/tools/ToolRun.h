// Running a tool's in-process entry on files a test writes, with its output and errors caught.
#pragma once

#include "tests/support/TempDir.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Relative name -> bytes; a name ending in '/' is a directory.
using Tree = std::map<std::string, std::string>;

inline void WriteTree(const std::string& dir, const Tree& tree) {
    for (const auto& item : tree) {
        const std::filesystem::path path = std::filesystem::path(dir) / item.first;
        std::filesystem::create_directories(item.first.back() == '/' ? path : path.parent_path());
        if (item.first.back() != '/')
            WriteWholeFile(path.generic_string(), item.second);
    }
}

struct ToolOutcome {
    int code;
    std::string out, err;
};

// Runs entry (argc, argv, out, err) on args, argv[0] first, its streams caught in files in dir.
template <typename Entry>
ToolOutcome RunTool(const Entry& entry, std::vector<std::string> args, const std::string& dir) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    const std::string outPath = dir + "/stdout", errPath = dir + "/stderr";
    FILE* out = fopen(outPath.c_str(), "wb");
    FILE* err = fopen(errPath.c_str(), "wb");
    const int code = out && err ? entry(int(argv.size()), argv.data(), out, err) : -1;
    for (FILE* stream : {out, err})
        if (stream)
            fclose(stream);
    return {code, ReadWholeFile(outPath), ReadWholeFile(errPath)};
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
