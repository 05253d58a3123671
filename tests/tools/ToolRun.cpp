#include "tests/tools/ToolRun.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

ToolOutcome RunTool(const ToolEntry& entry, const std::string& program,
                    std::vector<std::string> args, const std::string& dir) {
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    const std::string outPath = dir + "/stdout", errPath = dir + "/stderr";
    FILE* out = fopen(outPath.c_str(), "wb");
    FILE* err = fopen(errPath.c_str(), "wb");
    EXPECT_TRUE(out && err);
    if (!out || !err)
        return {-1, "", ""};
    const int code = entry(int(argv.size()), argv.data(), out, err);
    fclose(out);
    fclose(err);
    return {code, ReadWholeFile(outPath), ReadWholeFile(errPath)};
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
