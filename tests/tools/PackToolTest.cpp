#include "tools/PackTool.h"

#include "tests/files/PackBytes.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Outcome = ToolOutcome;

class PackTool : public ::testing::Test {
protected:
    void SetUp() override { root = dir.Path() + "/"; }

    Outcome Run(const std::vector<std::string>& args) {
        return RunTool(static_cast<int (*)(int, char**, FILE*, FILE*)>(PackToolMain), "packtool",
                       args, dir.Path());
    }

    void Write(const std::string& relative, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(root + relative).parent_path());
        WriteWholeFile(root + relative, bytes);
    }

    TempDir dir;
    std::string root;
};

TEST_F(PackTool, BuildWritesTypesAndEntriesInKeyOrderAndTheServiceReadsThem) {
    const std::string big(20000, 'B');
    Write("in/c.lua", "cc");
    Write("in/sub/b.mesh", big);
    Write("in/A.LUA", "AAAA");
    Write("in/notes.txt", "not packed");
    const Outcome built = Run({"build", root + "in", root + "out.pack"});
    ASSERT_EQ(0, built.code) << built.err;
    EXPECT_TRUE(Contains(built.out, "3 files"));
    EXPECT_EQ(MakePack({{"a", "lua", "AAAA"}, {"c", "lua", "cc"}, {"sub/b", "mesh", big}}),
              ReadWholeFile(root + "out.pack"));

    const Outcome listed = Run({"list", root + "out.pack"});
    ASSERT_EQ(0, listed.code);
    EXPECT_TRUE(Contains(listed.out, "2 types, 3 entries"));
    EXPECT_TRUE(Contains(listed.out, "type \"mesh\": 1 entries"));
    EXPECT_TRUE(Contains(listed.out, "size 20000 name \"sub/b\""));

    ASSERT_EQ(0, Run({"extract", root + "out.pack", "Sub/B.MESH", root + "b.out"}).code);
    EXPECT_EQ(big, ReadWholeFile(root + "b.out"));
    const Outcome missing = Run({"extract", root + "out.pack", "d.lua", root + "d.out"});
    EXPECT_EQ(1, missing.code);
    EXPECT_TRUE(Contains(missing.err, "holds no d.lua"));
    EXPECT_FALSE(std::filesystem::exists(root + "d.out"));
}

TEST_F(PackTool, BadInputGetsAnErrorAndExitCodeOne) {
    const std::string prefix(32, 'k');
    Write("dup/" + prefix + "1.lua", "one");
    Write("dup/" + prefix + "2.lua", "two");
    const Outcome duplicate = Run({"build", root + "dup", root + "dup.pack"});
    EXPECT_EQ(1, duplicate.code);
    EXPECT_TRUE(Contains(duplicate.err, prefix + "1.lua"));
    EXPECT_TRUE(Contains(duplicate.err, prefix + "2.lua"));
    EXPECT_FALSE(std::filesystem::exists(root + "dup.pack"));

    Write("empty/e.lua", "");
    EXPECT_EQ(1, Run({"build", root + "empty", root + "e.pack"}).code);
    EXPECT_EQ(1, Run({"build", root + "nodir", root + "n.pack"}).code);

    Write("bad.pack", "QDFPVF01" + std::string(16, '\xFF'));
    Write("junk", "neither");
    for (const char* file : {"bad.pack", "junk", "none"}) {
        const Outcome listed = Run({"list", root + file});
        EXPECT_EQ(1, listed.code) << file;
        EXPECT_TRUE(Contains(listed.err, "packtool: error: ")) << file;
        EXPECT_EQ(1, Run({"extract", root + file, "a.lua", root + "x"}).code) << file;
    }
    EXPECT_EQ(1, Run({"index", root + "i.idx", root + "bad.pack"}).code);
    EXPECT_EQ(1, Run({"index", root + "i.idx", root + "junk"}).code);
    EXPECT_EQ(1, Run({"index", root + "i.idx", "--bogus", root + "in"}).code);
    EXPECT_EQ(1, Run({"index", root + "i.idx", "--version-source", root + "junk"}).code);

    EXPECT_EQ(2, Run({}).code);
    EXPECT_EQ(2, Run({"unpack", "x"}).code);
    EXPECT_EQ(2, Run({"build", root + "in"}).code);
}

// Items register in order (a file found in an earlier item is not registered again) and the
// options reach the index, the checksum table and the versions file.
TEST_F(PackTool, IndexRegistersItemsInOrderAndHonoursItsOptions) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    Write("in/m.mesh", "packed mesh");
    Write("loose/s.lua", "SCRIPT..");
    Write("loose/m.mesh", "shadowed");
    Write("game.exe", "GAMEgame");
    const Outcome built = Run({"build", "in", "main.pack"});
    const Outcome indexed = Run({"index", "i.idx", "--big-endian", "--table", "--version-source",
                                 "game.exe", "--version-text", "1.2", "main.pack", "loose"});
    const Outcome listed = Run({"list", "i.idx"});
    const Outcome sums = Run({"checksum", "loose/s.lua", "none", "game.exe"});
    std::filesystem::current_path(previous);

    ASSERT_EQ(0, built.code) << built.err;
    ASSERT_EQ(0, indexed.code) << indexed.err;
    EXPECT_TRUE(Contains(indexed.out, "2 packs, 2 entries"));
    EXPECT_EQ("SFVZ10NV", ReadWholeFile(root + "i.idx").substr(0, 8));
    EXPECT_TRUE(Contains(listed.out, "big-endian")) << listed.out;
    EXPECT_TRUE(Contains(listed.out, "name \"m\" path \"./main.pack\"")) << listed.out;
    EXPECT_TRUE(Contains(listed.out, "name \"s\" path \"loose/s.lua\"")) << listed.out;

    // 8-byte files: the checksum covers the first word only.
    const uint32_t scriptSum = 0xFEFAFFAFu ^ 0xD2029F7Du ^ GetLE32("SCRI", 0);
    const uint32_t gameSum = 0xFEFAFFAFu ^ 0xD2029F7Du ^ GetLE32("GAME", 0);
    std::string table(4, '\0');
    PutLE32(&table, 0, scriptSum);
    EXPECT_EQ(table, ReadWholeFile(root + "table"));
    const std::string versions = ReadWholeFile(root + "game.versions");
    ASSERT_EQ(40u, versions.size());
    EXPECT_EQ(gameSum, GetLE32(versions, 4));
    EXPECT_STREQ("1.2", versions.c_str() + 8);

    EXPECT_EQ(1, sums.code);
    char expected[64];
    snprintf(expected, sizeof expected, "%08X loose/s.lua\n%08X game.exe\n", unsigned(scriptSum),
             unsigned(gameSum));
    EXPECT_EQ(expected, sums.out);
    EXPECT_TRUE(Contains(sums.err, "cannot open none"));
}

} // namespace
