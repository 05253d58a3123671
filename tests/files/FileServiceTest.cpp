#include "core/files/FileService.h"

#include "core/files/FileStream.h"
#include "core/files/MemoryFile.h"
#include "tests/files/PackBytes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

namespace {

constexpr uint32_t kEmptySum = 0xFEFAFFAFu ^ 0xD2029F7Du;

// The bytes of a whole-buffer memory file or of a stream, which are released; "<null>" for null.
std::string Bytes(MemoryFile* file) {
    if (!file)
        return "<null>";
    std::string bytes(reinterpret_cast<char*>(file->GetData()),
                      file->GetData() ? file->GetSize() : 0);
    file->Release();
    return bytes;
}

std::string Bytes(FileStream* file) {
    if (!file)
        return "<null>";
    std::string bytes(file->GetSize(), '\0');
    EXPECT_EQ(int32_t(bytes.size()), file->Read(&bytes[0], uint32_t(bytes.size()), 0));
    file->Close();
    return bytes;
}

// Runs in a temporary directory, where "table" and versions files go.
class Service : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        root = dir.Path() + "/";
        ASSERT_TRUE(service.Init(nullptr));
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    // Writes <name>.pack with the given bytes and registers it.
    void AddPackFile(const std::string& name, const std::string& bytes) {
        WriteWholeFile(root + name + ".pack", bytes);
        service.Register(root.c_str(), (name + ".pack").c_str());
    }
    std::string Load(const std::string& name, const char* extension, bool chunked = false) {
        return Bytes(service.LoadMemoryFile(name.c_str(), extension, chunked, __FILE__, __LINE__));
    }

    // The index IndexWrittenFieldByFieldAndReadBack must write: the unnamed pack, then p.
    std::string Expected(bool bigEndian) {
        const auto n = [bigEndian](uint32_t value) {
            const std::string bytes = LE32(value);
            return bigEndian ? std::string(bytes.rbegin(), bytes.rend()) : bytes;
        };
        const auto f = &Fixed;
        const uint32_t types = 12 + 2 * 304, entries = types + 2 * 16;
        const uint32_t data = 24 + 12 + 2 * 40; // after p.pack's header, type and entries
        const std::string pack = root + "p.pack";
        return (bigEndian ? "SFVZ10NV" : "ZVFSVN01") + n(2) +                // header
               f("", 288) + n(types) + n(1) + f("", 8) +                     // unnamed pack
               f("p", 32) + f(pack, 256) + n(types + 16) + n(1) + f("", 8) + // pack p
               f("lua", 4) + n(entries) + n(1) + f("", 4) +                  // type lua
               f("mesh", 4) + n(entries + 296) + n(2) + f("", 4) +           // type mesh
               f("a", 32) + n(0) + n(0) + f(root + "a.lua", 256) +           // entry a
               f("m", 32) + n(data) + n(2) + f(pack, 256) +                  // entry m
               f("n", 32) + n(data + 2) + n(1) + f(pack, 256);               // entry n
    }

    TempDir dir;
    std::filesystem::path previous;
    std::string root;
    FileService service;
};

// Names are found in any case, also past the lookup's growths; a type's case counts.
TEST_F(Service, RegisterAddsLooseFilesOfKnownTypesAndPacksOnce) {
    for (const char* name :
         {"models/Hero.MESH", "readme.txt", "noextension", ".lua", "main.pack", "MAIN.pack"})
        service.Register(root.c_str(), name);
    service.Register("other/", "models/hero.mesh"); // found already: not registered again
    for (int i = 0; i < 40; ++i)
        service.Register("d/", ("zone" + std::to_string(i) + ".dds").c_str());
    for (int i = 0; i < 40; ++i)
        EXPECT_STREQ(("d/zone" + std::to_string(i) + ".dds").c_str(),
                     service.FindFilePath(("ZONE" + std::to_string(i)).c_str(), "dds"));
    EXPECT_STREQ((root + "models/Hero.mesh").c_str(), service.FindFilePath("MODELS/HERO", "mesh"));
    EXPECT_EQ(nullptr, service.FindFile("models/hero", "MESH", nullptr));
    ASSERT_EQ(2u, service.Packs().size());
    EXPECT_EQ(2u, service.Packs()[0]->Types().size());
    EXPECT_EQ(1u, service.Packs()[0]->Types()[0].entries.size());
    service.AddPack("", "bare"); // no directory: no data file to close on unmounting
    EXPECT_TRUE(service.Mount("bare", true));
    EXPECT_TRUE(service.Mount("bare", false));
}

// Inside a pack the first entry of a type's first table counts.
TEST_F(Service, EarlierMountsShadowLaterOnesAndUnmountingRereadsThePack) {
    AddPackFile("first", MakePack({{"shared", "lua", "from first"}}));
    AddPackFile("second", MakePack({{"shared", "lua", "from second"},
                                    {"shared", "lua", "shadowed"},
                                    {"only2", "dds", "two"},
                                    {"z", "lua", "in a later lua table"}}));
    for (const char* name : {"second", "FIRST", "first", "nosuch"})
        EXPECT_TRUE(service.Mount(name, true)) << name;
    EXPECT_EQ(3, service.MountedCount());
    EXPECT_EQ("from second", Load("shared", "lua"));
    EXPECT_EQ(nullptr, service.FindFile("z", "lua", nullptr));
    // Visitors walk a type's first table, pack by pack, and stop when told.
    std::string seen;
    int visits = 3;
    const auto collect = [&](const char* name, const char*) {
        seen += std::string(name) + ",";
        return --visits > 0;
    };
    EXPECT_TRUE(service.ForEachFileInPack("SECOND", "lua", collect));
    EXPECT_FALSE(service.ForEachFile("lua", collect));
    EXPECT_EQ("shared,shared,shared,", seen);

    EXPECT_TRUE(service.Mount("second", false));
    EXPECT_TRUE(service.Mount("", false)); // the unnamed pack stays
    EXPECT_EQ(2, service.MountedCount());
    EXPECT_EQ(0, service.FindPack("second")->TypeCount());
    EXPECT_EQ("from first", Load("shared", "lua"));
    EXPECT_EQ(nullptr, service.FindFile("only2", "dds", nullptr));
    EXPECT_TRUE(service.Mount("second", true));
    EXPECT_EQ("from first", Load("shared", "lua"));
    EXPECT_EQ("two", Load("only2", "dds"));
}

TEST_F(Service, ASeventeenthMountFailsAndMountsNothing) {
    for (int i = 0; i < 16; ++i) {
        AddPackFile("p" + std::to_string(i), MakePack({{"f" + std::to_string(i), "lua", "x"}}));
        EXPECT_EQ(i < 15, service.Mount(("p" + std::to_string(i)).c_str(), true)) << i;
    }
    EXPECT_EQ(nullptr, service.FindFile("f15", "lua", nullptr));
    EXPECT_TRUE(service.Mount("p3", false));
    EXPECT_TRUE(service.Mount("p15", true));
    EXPECT_EQ("x", Load("f15", "lua"));
}

// Damaged, hostile and missing packs fail whole and stay failed; a torn entry fails alone.
TEST_F(Service, DamagedPacksFailWholeAndTornEntriesAlone) {
    const std::string good = MakePack({{"a", "lua", "aaaa"}, {"b", "dds", "bb"}});
    const std::string bad[] = {
        Patched(good, 4, 0x32304656u),  // version "VF02"
        Patched(good, 0, 0x58504451u),  // magic "QDPX"
        Patched(good, 8, 1000),         // type table past the end
        Patched(good, 16, 0x7FFFFFFFu), // huge entry count
        Patched(good, 24 + 12 + 4, 2),  // first index past the entry table
        Patched(good, 24 + 8, 2),       // both types claim three of two entries
        good.substr(0, 20),             // header cut short
    };
    for (size_t i = 0; i < sizeof bad / sizeof bad[0]; ++i) {
        AddPackFile("bad" + std::to_string(i), bad[i]);
        EXPECT_FALSE(service.Mount(("bad" + std::to_string(i)).c_str(), true)) << i;
    }
    service.Register(root.c_str(), "gone.pack");
    EXPECT_FALSE(service.Mount("gone", true));

    // A failed pack mounts without being read again and takes no files.
    EXPECT_TRUE(service.Mount("gone", true));
    service.AddFile("gone", root.c_str(), "c", "lua", 0, 0);
    EXPECT_EQ(nullptr, service.FindFile("c", "lua", nullptr));

    AddPackFile("torn", Patched(good, 24 + 2 * 12 + 40 + 36, 3));
    ASSERT_TRUE(service.Mount("torn", true));
    EXPECT_EQ("aaaa", Load("a", "lua"));
    EXPECT_EQ("<null>", Load("b", "dds"));
}

// What cannot be read gives null, also a file that shrinks under a load: no stale position stays.
TEST_F(Service, LoadsGiveNullForWhatCannotBeRead) {
    WriteWholeFile(root + "script.lua", "script");
    WriteWholeFile(root + "range.dat", "0123456789");
    WriteWholeFile(root + "other.dat", "abcdefghij");
    for (const char* name : {"script.lua", "ghost.lua"})
        service.Register(root.c_str(), name);
    service.AddFile("", root.c_str(), "range", "dat", 1, 3);
    service.AddFile("", root.c_str(), "other", "dat", 5, 4);
    EXPECT_EQ("script", Load("script", "lua"));
    EXPECT_EQ("<null>", Load("ghost", "lua"));
    EXPECT_EQ("123", Load("range", "dat"));
    EXPECT_EQ("fghi", Load("other", "dat"));
    // A stream sees just its entry's range.
    EXPECT_EQ("123", Bytes(service.OpenFile("range", "dat", __FILE__, __LINE__)));
    EXPECT_EQ("<null>", Bytes(service.OpenFile("ghost", "lua", __FILE__, __LINE__)));
    // b is larger than any stdio buffer.
    const std::string big(100000, 'B');
    const std::string bytes = MakePack({{"a", "lua", "AAAA"}, {"b", "lua", big}});
    AddPackFile("cut", bytes);
    ASSERT_TRUE(service.Mount("cut", true));
    EXPECT_EQ("AAAA", Load("a", "lua"));
    WriteWholeFile(root + "cut.pack", bytes.substr(0, bytes.size() - 2));
    EXPECT_EQ("<null>", Load("b", "lua", true));
    EXPECT_EQ("<null>", Load("b", "lua"));
    WriteWholeFile(root + "cut.pack", bytes);
    EXPECT_EQ(big, Load("b", "lua"));
}

// Byte-exact in both byte orders; only host order is read back, and loaded tables open their data
// file on the first load. Broken indexes are errors and add nothing; another version adds no packs.
TEST_F(Service, IndexWrittenFieldByFieldAndReadBack) {
    WriteWholeFile(root + "a.lua", "script");
    service.Register(root.c_str(), "a.lua");
    AddPackFile("p", MakePack({{"m", "mesh", "MM"}, {"n", "mesh", "N"}}));
    ASSERT_TRUE(service.Mount("p", true));
    ASSERT_TRUE(service.SaveIndex("host.idx", false, false, nullptr, nullptr));
    ASSERT_TRUE(service.SaveIndex("big.idx", true, false, nullptr, nullptr));
    EXPECT_EQ(Expected(false), ReadWholeFile("host.idx"));
    EXPECT_EQ(Expected(true), ReadWholeFile("big.idx"));
    WriteWholeFile("other.idx", "ZVFSVN02" + ReadWholeFile("host.idx").substr(8));
    FileService loaded;
    EXPECT_TRUE(loaded.LoadIndex("big.idx") && loaded.LoadIndex("other.idx"));
    EXPECT_TRUE(loaded.Packs().empty());
    ASSERT_TRUE(loaded.Init("host.idx"));
    ASSERT_TRUE(loaded.Mount("p", true));
    EXPECT_EQ("N", Bytes(loaded.LoadMemoryFile("n", "mesh", false, __FILE__, __LINE__)));
    const std::string good = Expected(false);
    const size_t pack1 = 12 + 304;
    const auto unterminated = [&good](size_t at) {
        return std::string(good).replace(at, 256, std::string(256, 'x'));
    };
    const std::string bad[] = {
        "ZVFSVN0",
        "ZVFSVN01",
        good.substr(0, good.size() - 1),
        Patched(good, 8, 6),                                   // pack records past the end
        Patched(good, pack1 + 288, uint32_t(good.size() - 8)), // types past the end
        unterminated(pack1 + 32),                              // pack path
        unterminated(good.size() - 256),                       // entry path
    };
    for (const std::string& bytes : bad) {
        WriteWholeFile("bad.idx", bytes);
        FileService broken;
        EXPECT_FALSE(broken.Init("bad.idx")) << bytes.size();
        EXPECT_TRUE(broken.Packs().empty()) << bytes.size();
    }
    EXPECT_FALSE(service.LoadIndex("none.idx"));
}

// The table lists the first pack's entries type by type, last to first; 8-byte files sum their
// first word. A versions file keeps other records; its name must fit in 31 characters.
TEST_F(Service, ChecksumTableAndVersionsFile) {
    for (const std::string name : {"b.lua", "c.dds", "d.lua", "Game.EXE"})
        WriteWholeFile(name, std::string(4, char(toupper(name[0]))) + "....");
    for (const char* name : {"b.lua", "c.dds", "d.lua", "gone.lua"})
        service.Register("", name);
    const auto record = [](uint32_t checksum, const std::string& text) {
        const std::string bytes = LE32(checksum) + text;
        return bytes + std::string(36 - bytes.size(), '\0');
    };
    const std::string old = "CRCV" + record(1, "v1") + record(2, "v2");
    WriteWholeFile("game.versions", old + "0123456789");
    ASSERT_TRUE(service.SaveIndex("i.idx", false, true, "Game.EXE", "1.0"));
    ASSERT_TRUE(service.SaveIndex("i.idx", false, false, "Game.EXE", "2.5-final"));
    std::string table;
    for (const char* first : {"\0\0\0\0", "DDDD", "BBBB", "CCCC"})
        table += LE32(kEmptySum ^ GetLE32(std::string(first, 4), 0));
    EXPECT_EQ(table, ReadWholeFile("table"));
    const uint32_t sum = kEmptySum ^ GetLE32("GGGG", 0);
    EXPECT_EQ(old + record(sum, "2.5-final"), ReadWholeFile("game.versions"));
    // A failed index write is reported; the other files are still written.
    WriteWholeFile("game.versions", "XXXX" + old.substr(4));
    EXPECT_FALSE(service.SaveIndex("none/i.idx", false, false, "Game.EXE", "3"));
    EXPECT_EQ("CRCV" + record(sum, "3"), ReadWholeFile("game.versions"));

    const std::string n22(22, 'n');
    EXPECT_TRUE(service.SaveIndex("i.idx", false, false, (n22 + ".exe").c_str(), "4"));
    EXPECT_FALSE(service.SaveIndex("i.idx", false, false, (n22 + "n.exe").c_str(), "4"));
    EXPECT_TRUE(service.SaveIndex("i.idx", false, false, ("x.y" + n22 + "123456.e").c_str(), "4"));
    EXPECT_EQ("CRCV" + record(kEmptySum, "4"), ReadWholeFile("x.versions"));
}

} // namespace
