// packtool's commands and error exits, run in a temporary working directory.
#include "tools/PackTool.h"

#include "tests/files/PackBytes.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <tuple>

namespace fs = std::filesystem;

namespace {

TEST(PackTool, CommandsAndTheirErrorExits) {
    TempDir dir;
    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path());
    const auto run = [&](const std::string& line) {
        std::istringstream words("packtool " + line);
        const auto entry = static_cast<int (*)(int, char**, FILE*, FILE*)>(PackToolMain);
        return RunTool(entry, {std::istream_iterator<std::string>(words), {}}, dir.Path());
    };
    const std::string big(20000, 'B'), k(32, 'k');
    const Tree files = {
        {"in/c.lua", "cc"},          {"in/sub/b.mesh", big},
        {"in/A.LUA", "AAAA"},        {"in/notes.txt", "-"},
        {"loose/s.lua", "SCRIPT.."}, {"loose/sub/b.mesh", "shadowed"},
        {"game.exe", "GAME"},        {"dup/" + k + "1.lua", "1"},
        {"dup/" + k + "2.lua", "2"}, {"empty/e.lua", ""},
        {"junk", "neither"},         {"bad.pack", "QDFPVF01" + std::string(16, '\xFF')}};
    WriteTree(dir.Path(), files);
    // Index items register in order: loose/sub/b.mesh was found in main.pack first.
    const std::tuple<std::string, int, std::string> rows[] = {
        {"build in main.pack", 0, "3 files"},
        {"list main.pack", 0, "2 types, 3 entries"},
        {"extract main.pack Sub/B.MESH b.out", 0, ""},
        {"extract main.pack d.lua d.out", 1, "holds no d.lua"},
        {"index i.idx --big-endian --table --version-source game.exe --version-text 1.2 "
         "main.pack loose",
         0, "2 packs, 4 entries"},
        {"list i.idx", 0, "index i.idx (big-endian): 2 packs"},
        {"checksum none", 1, "packtool: error: cannot open none"},
        {"build dup dup.pack", 1, k + "1.lua and dup/" + k + "2.lua"},
        {"build empty e.pack", 1, "is empty"},
        {"", 2, "usage: packtool"},
        {"unpack x", 2, "usage: packtool"},
        {"build in", 2, "usage: packtool"},
        {"extract main.pack a.lua", 2, "usage: packtool"},
    };
    for (const auto& [args, code, shown] : rows) {
        const ToolOutcome outcome = run(args);
        EXPECT_EQ(code, outcome.code) << args << "\n" << outcome.err;
        EXPECT_TRUE(Contains(outcome.out + outcome.err, shown)) << args << "\n" << outcome.out;
    }
    for (const char* line :
         {"build nodir n.pack", "list bad.pack", "list junk", "list none",
          "extract bad.pack a.lua x", "extract none a.lua x", "index x.idx bad.pack",
          "index x.idx junk", "index x.idx --bogus in", "index x.idx --version-source junk"}) {
        const ToolOutcome outcome = run(line);
        EXPECT_EQ(1, outcome.code) << line;
        EXPECT_TRUE(Contains(outcome.err, "packtool: error: ")) << line << "\n" << outcome.err;
    }
    EXPECT_EQ(MakePack({{"a", "lua", "AAAA"}, {"c", "lua", "cc"}, {"sub/b", "mesh", big}}),
              ReadWholeFile("main.pack"));
    EXPECT_EQ(big, ReadWholeFile("b.out"));
    EXPECT_FALSE(fs::exists("d.out") || fs::exists("dup.pack"));
    // The index options reach the checksum table and the versions file.
    EXPECT_TRUE(Contains(ReadWholeFile("game.versions"), "1.2"));
    EXPECT_EQ(GetLE32(ReadWholeFile("table") + "????", 0), // it holds loose/s.lua's checksum
              strtoul(run("checksum loose/s.lua").out.c_str(), nullptr, 16));
    fs::current_path(previous);
}

} // namespace
