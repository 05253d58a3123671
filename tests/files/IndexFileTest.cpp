#include "core/files/FileService.h"

#include "core/files/MemoryFile.h"
#include "tests/files/PackBytes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

constexpr uint32_t kEmptySum = 0xFEFAFFAFu ^ 0xD2029F7Du;

// Index file bytes laid out field by field; numbers in either byte order.
class IndexBytes {
public:
    explicit IndexBytes(bool bigEndian) : bigEndian(bigEndian) {}

    IndexBytes& Number(uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(char(value >> (8 * (bigEndian ? 3 - i : i))));
        return *this;
    }
    IndexBytes& Fixed(const std::string& text, size_t size) {
        std::string field = text;
        field.resize(size, '\0');
        bytes += field;
        return *this;
    }
    IndexBytes& Pack(const std::string& name, const std::string& path, uint32_t types,
                     uint32_t count) {
        return Fixed(name, 32).Fixed(path, 256).Number(types).Number(count).Fixed("", 8);
    }
    IndexBytes& Type(const std::string& key, uint32_t entries, uint32_t count) {
        return Fixed(key, 4).Number(entries).Number(count).Fixed("", 4);
    }
    IndexBytes& Entry(const std::string& name, uint32_t offset, uint32_t size,
                      const std::string& path) {
        return Fixed(name, 32).Number(offset).Number(size).Fixed(path, 256);
    }

    std::string bytes;

private:
    bool bigEndian;
};

std::string Loaded(MemoryFile* file) {
    if (!file)
        return "<null>";
    std::string bytes(reinterpret_cast<const char*>(file->GetData()), file->GetSize());
    file->Release();
    return bytes;
}

class Index : public ::testing::Test {
protected:
    void SetUp() override {
        root = dir.Path() + "/";
        ASSERT_TRUE(service.Init(nullptr));
        WriteWholeFile(root + "a.lua", "script");
        service.Register(root.c_str(), "a.lua");
        WriteWholeFile(root + "p.pack", MakePack({{"m", "mesh", "MM"}, {"n", "mesh", "N"}}));
        service.Register(root.c_str(), "p.pack");
        ASSERT_TRUE(service.Mount("p", true));
    }

    // The index SetUp's service must write: the unnamed pack, then pack p.
    std::string Expected(bool bigEndian) {
        const uint32_t types = 12 + 2 * 304;
        const uint32_t entries = types + 2 * 16;
        const uint32_t data = uint32_t(EntryRecordAt(1, 2));
        IndexBytes index(bigEndian);
        index.Fixed("ZVFS", 4).Fixed("VN01", 4);
        if (bigEndian)
            index.bytes = "SFVZ10NV";
        index.Number(2)
            .Pack("", "", types, 1)
            .Pack("p", root + "p.pack", types + 16, 1)
            .Type("lua", entries, 1)
            .Type("mesh", entries + 296, 2)
            .Entry("a", 0, 0, root + "a.lua")
            .Entry("m", data, 2, root + "p.pack")
            .Entry("n", data + 2, 1, root + "p.pack");
        return index.bytes;
    }

    TempDir dir;
    std::string root;
    FileService service;
};

TEST_F(Index, SavedInBothByteOrdersFieldByField) {
    service.SaveIndex((root + "host.idx").c_str(), false, false, nullptr, nullptr);
    service.SaveIndex((root + "big.idx").c_str(), true, false, nullptr, nullptr);
    EXPECT_EQ(Expected(false), ReadWholeFile(root + "host.idx"));
    EXPECT_EQ(Expected(true), ReadWholeFile(root + "big.idx"));

    // The reader takes host order only: the big-endian form reads as an index without packs.
    FileService swapped;
    EXPECT_TRUE(swapped.LoadIndex((root + "big.idx").c_str()));
    EXPECT_TRUE(swapped.Packs().empty());
}

TEST_F(Index, LoadedTablesServeFilesAndSurviveChanges) {
    service.SaveIndex((root + "host.idx").c_str(), false, false, nullptr, nullptr);
    FileService loaded;
    ASSERT_TRUE(loaded.Init((root + "host.idx").c_str()));
    ASSERT_TRUE(loaded.Mount("p", true));
    // The pack's tables came from the index: its data file is opened on the first load.
    EXPECT_EQ(nullptr, loaded.Slot(1).stream);
    EXPECT_EQ("N", Loaded(loaded.LoadMemoryFile("n", "mesh", false, __FILE__, __LINE__)));
    EXPECT_EQ("MM", Loaded(loaded.LoadMemoryFile("M", "mesh", false, __FILE__, __LINE__)));
    EXPECT_EQ("script", Loaded(loaded.LoadMemoryFile("a", "lua", false, __FILE__, __LINE__)));

    // Adding to a loaded table and unmounting keep everything readable.
    WriteWholeFile(root + "extra.mesh", "extra");
    loaded.AddFile("p", root.c_str(), "extra", "mesh", 0, 0);
    EXPECT_EQ("MM", Loaded(loaded.LoadMemoryFile("m", "mesh", false, __FILE__, __LINE__)));
    EXPECT_EQ("extra", Loaded(loaded.LoadMemoryFile("extra", "mesh", false, __FILE__, __LINE__)));
    EXPECT_TRUE(loaded.Mount("p", false));
    EXPECT_EQ(nullptr, loaded.FindFile("m", "mesh", nullptr));
    ASSERT_TRUE(loaded.Mount("p", true));
    EXPECT_EQ(nullptr, loaded.FindFile("extra", "mesh", nullptr));
    EXPECT_EQ("MM", Loaded(loaded.LoadMemoryFile("m", "mesh", false, __FILE__, __LINE__)));
}

TEST_F(Index, BrokenIndexesAreErrorsAndAddNothing) {
    const std::string good = Expected(false);
    const size_t pack1 = 12 + 304;
    const size_t type0 = 12 + 2 * 304;
    std::vector<std::string> bad = {"", "ZVFSVN0", "ZVFSVN01", good.substr(0, good.size() - 1)};
    std::string patched = good;
    PutLE32(&patched, 8, 6); // pack records past the end
    bad.push_back(patched);
    patched = good;
    PutLE32(&patched, pack1 + 288, uint32_t(good.size() - 8)); // types run past the end
    bad.push_back(patched);
    patched = good;
    PutLE32(&patched, type0 + 8, 0xFFFFFFFFu); // negative entry count
    bad.push_back(patched);
    patched = good;
    PutLE32(&patched, type0 + 16 + 8, 3); // three entries where two are left
    bad.push_back(patched);
    patched = good;
    patched.replace(pack1 + 32, 256, std::string(256, 'x')); // unterminated pack path
    bad.push_back(patched);
    patched = good;
    patched.replace(good.size() - 256, 256, std::string(256, 'x')); // unterminated entry path
    bad.push_back(patched);

    for (size_t i = 0; i < bad.size(); ++i) {
        WriteWholeFile(root + "bad.idx", bad[i]);
        FileService loaded;
        EXPECT_FALSE(loaded.Init((root + "bad.idx").c_str())) << i;
        EXPECT_TRUE(loaded.Packs().empty()) << i;
    }
    FileService missing;
    EXPECT_FALSE(missing.LoadIndex((root + "none.idx").c_str()));
    WriteWholeFile(root + "other.idx", "ZVFSVN02" + good.substr(8));
    FileService other;
    EXPECT_TRUE(other.LoadIndex((root + "other.idx").c_str()));
    EXPECT_TRUE(other.Packs().empty());
}

// Runs the test body inside the temporary directory, where "table" and versions files go.
class InDirectory : public Index {
protected:
    void SetUp() override {
        Index::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    std::filesystem::path previous;
};

TEST_F(InDirectory, ChecksumTableListsTheFirstPacksEntriesLastToFirstPerType) {
    // Files of 8 bytes: each checksum covers exactly the first word.
    WriteWholeFile("b.lua", "BBBBbbbb");
    WriteWholeFile("c.dds", "CCCCcccc");
    WriteWholeFile("d.lua", "DDDDdddd");
    FileService local;
    ASSERT_TRUE(local.Init(nullptr));
    for (const char* name : {"b.lua", "c.dds", "d.lua", "gone.lua"})
        local.Register("", name);
    ASSERT_TRUE(local.SaveIndex("local.idx", false, true, nullptr, nullptr));

    std::string expected;
    for (const char* first : {"gone", "DDDD", "BBBB", "CCCC"}) {
        const uint32_t word = std::string(first) == "gone" ? 0 : GetLE32(first, 0);
        expected.resize(expected.size() + 4);
        PutLE32(&expected, expected.size() - 4, kEmptySum ^ word);
    }
    EXPECT_EQ(expected, ReadWholeFile("table"));
}

TEST_F(InDirectory, VersionsFileKeepsOneRecordPerSourceAndOtherRecordsAsTheyWere) {
    WriteWholeFile("game.exe", "GAMEgame");
    const uint32_t sum = kEmptySum ^ GetLE32("GAME", 0);
    // Two records of other files and ten trailing bytes, which are dropped.
    std::string old = "CRCV";
    for (uint32_t other : {1u, 2u}) {
        old += std::string(4, '\0');
        PutLE32(&old, old.size() - 4, other);
        old += std::string("v") + char('0' + other) + std::string(30, '\0');
    }
    WriteWholeFile("game.versions", old + "0123456789");

    ASSERT_TRUE(service.SaveIndex("i.idx", false, false, "game.exe", "1.0"));
    ASSERT_TRUE(service.SaveIndex("i.idx", false, false, "game.exe", "2.5-final"));
    const std::string written = ReadWholeFile("game.versions");
    ASSERT_EQ(4u + 3 * 36, written.size());
    EXPECT_EQ(old, written.substr(0, 4 + 2 * 36));
    EXPECT_EQ(sum, GetLE32(written, 4 + 2 * 36));
    EXPECT_EQ(std::string("2.5-final") + std::string(23, '\0'), written.substr(4 + 2 * 36 + 4));

    // A file without the magic is written anew; without a version text it is left alone.
    WriteWholeFile("game.versions", "XXXX" + old.substr(4));
    ASSERT_TRUE(service.SaveIndex("i.idx", false, false, "game.exe", "3"));
    const std::string anew = ReadWholeFile("game.versions");
    EXPECT_EQ(40u, anew.size());
    ASSERT_TRUE(service.SaveIndex("i.idx", false, false, "game.exe", ""));
    EXPECT_EQ(anew, ReadWholeFile("game.versions"));
}

} // namespace
