#include "tools/PackTool.h"

#include "core/files/FileService.h"
#include "core/files/MemoryFile.h"
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

    // The file's bytes as a service with the pack at path mounted loads them.
    std::string Load(const std::string& packPath, const char* name, const char* extension) {
        FileService service;
        service.Init(nullptr);
        const std::filesystem::path pack(packPath);
        service.Register((pack.parent_path().generic_string() + "/").c_str(),
                         pack.filename().generic_string().c_str());
        const std::string packName = pack.stem().generic_string();
        if (!service.Mount(packName.c_str(), true))
            return "<not mounted>";
        MemoryFile* file = service.LoadMemoryFile(name, extension, false, __FILE__, __LINE__);
        if (!file)
            return "<not found>";
        std::string bytes(reinterpret_cast<const char*>(file->GetData()), file->GetSize());
        file->Release();
        return bytes;
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
    EXPECT_EQ(big, Load(root + "out.pack", "SUB/B", "mesh"));
    EXPECT_EQ("AAAA", Load(root + "out.pack", "a", "lua"));

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

TEST_F(PackTool, IndexRegistersItemsMountsPacksAndWritesBothByteOrders) {
    Write("in/m.mesh", "packed mesh");
    std::filesystem::create_directory(root + "data");
    ASSERT_EQ(0, Run({"build", root + "in", root + "data/main.pack"}).code);
    Write("loose/s.lua", "loose script");
    Write("loose/m.mesh", "shadowed");

    const Outcome indexed =
        Run({"index", root + "host.idx", root + "data/main.pack", root + "loose"});
    ASSERT_EQ(0, indexed.code) << indexed.err;
    // loose/m.mesh is found in the pack mounted before it and so not registered.
    EXPECT_TRUE(Contains(indexed.out, "2 packs, 2 entries"));
    FileService service;
    ASSERT_TRUE(service.Init((root + "host.idx").c_str()));
    ASSERT_TRUE(service.Mount("main", true));
    EXPECT_EQ(root + "loose/s.lua", std::string(service.FindFilePath("s", "lua")));
    EXPECT_EQ(root + "data/main.pack", std::string(service.FindFilePath("m", "mesh")));

    ASSERT_EQ(0, Run({"index", root + "big.idx", "--big-endian", root + "data/main.pack"}).code);
    const std::string host = ReadWholeFile(root + "host.idx");
    const std::string big = ReadWholeFile(root + "big.idx");
    EXPECT_EQ("ZVFSVN01", host.substr(0, 8));
    EXPECT_EQ("SFVZ10NV", big.substr(0, 8));
    const Outcome listed = Run({"list", root + "big.idx"});
    ASSERT_EQ(0, listed.code) << listed.err;
    EXPECT_TRUE(Contains(listed.out, "big-endian"));
    EXPECT_TRUE(Contains(listed.out, "name \"m\" path \"" + root + "data/main.pack\""));
}

TEST_F(PackTool, IndexWritesTheChecksumTableAndVersionsInTheWorkingDirectory) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    Write("game.exe", "GAMEgame");
    Write("s.lua", "SCRIPT..");
    const Outcome indexed = Run({"index", "i.idx", "--table", "--version-source", "game.exe",
                                 "--version-text", "1.2", "s.lua"});
    const Outcome sums = Run({"checksum", "s.lua", "none", "game.exe"});
    std::filesystem::current_path(previous);

    ASSERT_EQ(0, indexed.code) << indexed.err;
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
    snprintf(expected, sizeof expected, "%08X s.lua\n%08X game.exe\n", unsigned(scriptSum),
             unsigned(gameSum));
    EXPECT_EQ(expected, sums.out);
    EXPECT_TRUE(Contains(sums.err, "cannot open none"));
}

} // namespace
