#include "core/files/FileService.h"

#include "core/files/FileStream.h"
#include "core/files/MemoryFile.h"
#include "tests/files/PackBytes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The bytes of a memory file in either form; empty for null.
std::string Bytes(MemoryFile* file) {
    if (!file)
        return "";
    std::string bytes(file->GetSize(), '\0');
    if (file->GetData())
        memcpy(&bytes[0], file->GetData(), bytes.size());
    else
        EXPECT_TRUE(file->ReadBytes(&bytes[0], uint32_t(bytes.size())));
    file->Release();
    return bytes;
}

std::string Bytes(FileStream* file) {
    if (!file)
        return "";
    std::string bytes(file->GetSize(), '\0');
    EXPECT_EQ(int32_t(bytes.size()), file->Read(&bytes[0], uint32_t(bytes.size()), 0));
    file->Close();
    return bytes;
}

class Service : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(service.Init(nullptr));
        root = dir.Path() + "/";
    }

    // Writes a pack data file d/<name>.pack and registers it.
    void AddPackFile(const std::string& name, const std::vector<PackItem>& items) {
        WriteWholeFile(root + name + ".pack", MakePack(items));
        service.Register(root.c_str(), (name + ".pack").c_str());
    }

    std::string Load(const char* name, const char* extension, bool chunked = false) {
        return Bytes(service.LoadMemoryFile(name, extension, chunked, __FILE__, __LINE__));
    }

    TempDir dir;
    std::string root;
    FileService service;
};

TEST_F(Service, RegisterAddsLooseFilesOfKnownTypesAndPacks) {
    WriteWholeFile(root + "Hero.mesh", "hero mesh");
    service.Register(root.c_str(), "models/Hero.MESH");
    service.Register(root.c_str(), "readme.txt");
    service.Register(root.c_str(), "noextension");
    service.Register(root.c_str(), "main.pack");
    service.Register(root.c_str(), "MAIN.pack");

    const PackEntry* entry = service.FindFile("MODELS/HERO", "mesh", nullptr);
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(root + "models/Hero.mesh", entry->path);
    EXPECT_EQ(0u, entry->size);
    EXPECT_EQ(nullptr, service.FindFile("models/hero", "MESH", nullptr));

    // The unnamed pack holds exactly the one loose file; the pack was added once.
    ASSERT_EQ(2u, service.Packs().size());
    EXPECT_EQ(1, service.Packs()[0]->TypeCount());
    EXPECT_EQ(1u, service.Packs()[0]->Types()[0].entries.size());
    EXPECT_EQ(root + "main.pack", service.Packs()[1]->path);
    EXPECT_EQ(0, service.Packs()[1]->TypeCount());

    // A file already found is not registered again, whatever its directory.
    service.Register("other/", "models/hero.mesh");
    EXPECT_EQ(root + "models/Hero.mesh", std::string(service.FindFilePath("models/hero", "mesh")));
    // A pack without a directory has no data file.
    EXPECT_EQ("", std::string(service.AddPack("", "bare")->path));
}

TEST_F(Service, MountReadsPackHeadersAndEarlierMountsShadowLaterOnes) {
    AddPackFile("first", {{"shared", "lua", "from first"}, {"only1", "lua", "one"}});
    AddPackFile("second", {{"shared", "lua", "from second"}, {"only2", "dds", "two"}});
    EXPECT_TRUE(service.Mount("second", true));
    EXPECT_TRUE(service.Mount("FIRST", true));
    EXPECT_TRUE(service.Mount("first", true));
    EXPECT_EQ(3, service.MountedCount());

    int32_t slot = -1;
    const PackEntry* shared = service.FindFile("Shared", "lua", &slot);
    ASSERT_NE(nullptr, shared);
    EXPECT_EQ(1, slot);
    EXPECT_EQ(root + "second.pack", shared->path);
    EXPECT_EQ("from second", Load("shared", "lua"));
    EXPECT_EQ("one", Load("only1", "lua"));
    EXPECT_EQ("two", Bytes(service.OpenFile("only2", "dds", __FILE__, __LINE__)));

    // Unmounting releases the tables; the other pack shows through, and a new mount reads
    // the data file again.
    EXPECT_TRUE(service.Mount("second", false));
    EXPECT_EQ(0, service.FindPack("second")->TypeCount());
    EXPECT_EQ("from first", Load("shared", "lua"));
    EXPECT_EQ(nullptr, service.FindFile("only2", "dds", nullptr));
    EXPECT_TRUE(service.Mount("second", true));
    EXPECT_EQ("from first", Load("shared", "lua"));
    EXPECT_EQ("two", Load("only2", "dds"));

    // Unknown packs and the unnamed pack's unmount change nothing.
    EXPECT_TRUE(service.Mount("nosuch", true));
    EXPECT_TRUE(service.Mount("nosuch", false));
    EXPECT_TRUE(service.Mount("", false));
    EXPECT_EQ(3, service.MountedCount());
}

TEST_F(Service, FailedPacksAreRememberedAndStayEmpty) {
    service.Register(root.c_str(), "gone.pack");
    service.Register(root.c_str(), "gone2.pack");
    EXPECT_FALSE(service.Mount("gone", true));
    EXPECT_FALSE(service.Mount("gone2", true));
    EXPECT_EQ(root + "gone.pack", service.MissingPack());
    EXPECT_EQ(1, service.MountedCount());
    EXPECT_EQ(-1, service.FindPack("gone")->TypeCount());

    // The pack is not read again, even once its file exists.
    WriteWholeFile(root + "gone.pack", MakePack({{"a", "lua", "a"}}));
    EXPECT_TRUE(service.Mount("gone", true));
    EXPECT_EQ(nullptr, service.FindFile("a", "lua", nullptr));
    service.AddFile("gone", root.c_str(), "b", "lua", 0, 0);
    EXPECT_EQ(nullptr, service.FindFile("b", "lua", nullptr));
}

TEST_F(Service, PacksFailingAnyCheckAreRejectedButADamagedEntryFailsAlone) {
    const std::vector<PackItem> items = {{"a", "lua", "aaaa"}, {"b", "dds", "bb"}};
    const std::string good = MakePack(items);
    const size_t type0 = 24;
    const size_t type1 = 24 + 12;
    // Each: offset of a number to patch (or none) and its value, or a cut size.
    const struct {
        size_t at;
        uint32_t value;
        size_t cut;
    } bad[] = {
        {4, 0x32304656u, 0},             // version "VF02"
        {0, 0x58504451u, 0},             // magic "QDPX"
        {8, 1000, 0},                    // type table past the end
        {12, 0xFFFFFFF0u, 0},            // type table offset far past the end
        {type1 + 4, 2, 0},               // first index past the entry table
        {type0 + 8, 2, 0},               // both types claim three of two entries
        {0, 0, 20},                      // header cut short
        {0, 0, EntryRecordAt(2, 2) - 1}, // entry table cut short
    };
    for (size_t i = 0; i < sizeof bad / sizeof bad[0]; ++i) {
        std::string bytes = good;
        if (bad[i].cut)
            bytes.resize(bad[i].cut);
        else
            PutLE32(&bytes, bad[i].at, bad[i].value);
        const std::string name = "bad" + std::to_string(i);
        WriteWholeFile(root + name + ".pack", bytes);
        service.Register(root.c_str(), (name + ".pack").c_str());
        EXPECT_FALSE(service.Mount(name.c_str(), true)) << name;
        EXPECT_EQ(-1, service.FindPack(name.c_str())->TypeCount()) << name;
    }
    EXPECT_STREQ("", service.MissingPack());

    // Data running one byte past the end spoil that entry only.
    std::string torn = good;
    PutLE32(&torn, EntryRecordAt(2, 1) + 36, 3);
    WriteWholeFile(root + "torn.pack", torn);
    service.Register(root.c_str(), "torn.pack");
    ASSERT_TRUE(service.Mount("torn", true));
    EXPECT_EQ("aaaa", Load("a", "lua"));
    EXPECT_EQ(nullptr, service.LoadMemoryFile("b", "dds", false, __FILE__, __LINE__));
    EXPECT_EQ(nullptr, service.LoadMemoryFile("b", "dds", true, __FILE__, __LINE__));
    EXPECT_TRUE(service.Mount("torn", false));

    AddPackFile("good", items);
    EXPECT_TRUE(service.Mount("good", true));
    EXPECT_EQ("bb", Load("b", "dds"));
}

// Also past the lookup's first growths, where every added file must still be found.
TEST_F(Service, LookupKeepsTableOrderForRepeatedNamesAndTypes) {
    for (int i = 0; i < 40; ++i)
        service.AddFile("", "d/", ("file" + std::to_string(i)).c_str(), "dds", uint32_t(i), 0);
    for (int i = 0; i < 40; ++i) {
        const PackEntry* entry =
            service.FindFile(("FILE" + std::to_string(i)).c_str(), "dds", nullptr);
        ASSERT_NE(nullptr, entry) << i;
        EXPECT_EQ(uint32_t(i), entry->offset);
    }
    EXPECT_EQ(nullptr, service.FindFile("file40", "dds", nullptr));
    EXPECT_EQ(nullptr, service.FindFile("file0", "lua", nullptr));

    AddPackFile("dup", {{"x", "lua", "first x"},
                        {"x", "lua", "second x"},
                        {"y", "dds", "y"},
                        {"z", "lua", "z in a later lua table"}});
    ASSERT_TRUE(service.Mount("dup", true));
    EXPECT_EQ("first x", Load("x", "lua"));
    // Only the first table of a type is searched.
    EXPECT_EQ(nullptr, service.FindFile("z", "lua", nullptr));

    std::vector<std::string> seen;
    EXPECT_TRUE(service.ForEachFile("lua", [&](const char* name, const char* path) {
        seen.push_back(std::string(name) + "@" + path);
        return true;
    }));
    EXPECT_EQ((std::vector<std::string>{"x@" + root + "dup.pack", "x@" + root + "dup.pack"}), seen);
}

TEST_F(Service, ASeventeenthMountFailsAndMountsNothing) {
    for (int i = 0; i < 16; ++i)
        AddPackFile("p" + std::to_string(i), {{"f" + std::to_string(i), "lua", "x"}});
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(service.Mount(("p" + std::to_string(i)).c_str(), true));
    EXPECT_EQ(16, service.MountedCount());
    EXPECT_FALSE(service.Mount("p15", true));
    EXPECT_EQ(16, service.MountedCount());
    EXPECT_EQ(0, service.FindPack("p15")->TypeCount());
    EXPECT_EQ(nullptr, service.FindFile("f15", "lua", nullptr));
    EXPECT_TRUE(service.Mount("p3", false));
    EXPECT_TRUE(service.Mount("p15", true));
    EXPECT_EQ("x", Load("f15", "lua"));
}

TEST_F(Service, AFailedLoadForgetsThePosition) {
    // b is larger than any stdio buffer, so reading it reaches the file itself.
    const std::string big(100000, 'B');
    AddPackFile("cut", {{"a", "lua", "AAAA"}, {"b", "lua", big}});
    ASSERT_TRUE(service.Mount("cut", true));
    int32_t slot = -1;
    const uint32_t bOffset = service.FindFile("b", "lua", &slot)->offset;
    EXPECT_EQ("AAAA", Load("a", "lua"));
    // The file shrinks under the open stream: b can no longer be read whole.
    const std::string bytes = ReadWholeFile(root + "cut.pack");
    WriteWholeFile(root + "cut.pack", bytes.substr(0, bytes.size() - 2));
    EXPECT_EQ(nullptr, service.LoadMemoryFile("b", "lua", false, __FILE__, __LINE__));
    EXPECT_EQ(-1, service.Slot(slot).lastPosition);
    WriteWholeFile(root + "cut.pack", bytes);
    EXPECT_EQ(big, Load("b", "lua"));
    EXPECT_EQ(int32_t(bOffset + big.size()), service.Slot(slot).lastPosition);
}

// Loose files load whole, ranges added by hand from their own files; missing ones give null.
TEST_F(Service, LooseFilesAndRangesLoadFromTheirOwnFiles) {
    WriteWholeFile(root + "script.lua", std::string(40000, 's'));
    service.Register(root.c_str(), "script.lua");
    service.Register(root.c_str(), "ghost.lua");
    EXPECT_EQ(std::string(40000, 's'), Load("script", "lua", true));
    EXPECT_EQ(std::string(40000, 's'),
              Bytes(service.OpenFile("script", "lua", __FILE__, __LINE__)));
    EXPECT_EQ(nullptr, service.LoadMemoryFile("ghost", "lua", false, __FILE__, __LINE__));
    EXPECT_EQ(nullptr, service.OpenFile("ghost", "lua", __FILE__, __LINE__));
    EXPECT_EQ(nullptr, service.OpenFile("nothing", "lua", __FILE__, __LINE__));
    EXPECT_EQ(nullptr,
              FileService::LoadPlainMemoryFile((root + "none").c_str(), false, __FILE__, __LINE__));
    EXPECT_EQ(std::string(40000, 's'),
              Bytes(FileService::LoadPlainMemoryFile((root + "script.lua").c_str(), true, __FILE__,
                                                     __LINE__)));

    WriteWholeFile(root + "blob1.dat", "0123456789");
    WriteWholeFile(root + "blob2.dat", "abcdefghij");
    service.AddFile("", root.c_str(), "blob1", "dat", 2, 3);
    EXPECT_EQ("234", Load("blob1", "dat"));
    service.AddFile("", root.c_str(), "blob2", "dat", 5, 4);
    EXPECT_EQ("fghi", Load("blob2", "dat"));
    EXPECT_EQ("234", Bytes(service.OpenFile("blob1", "dat", __FILE__, __LINE__)));
    service.AddFile("", root.c_str(), "huge", "dat", 0x7FFFFFF0u, 0x100);
    EXPECT_EQ(nullptr, service.LoadMemoryFile("huge", "dat", false, __FILE__, __LINE__));
}

TEST_F(Service, RecordingListsEachFileOnceInFirstAccessOrder) {
    AddPackFile("rec", {{"a", "lua", "1"}, {"b", "lua", "2"}});
    ASSERT_TRUE(service.Mount("rec", true));
    Load("a", "lua");
    EXPECT_TRUE(service.GetAccessList().empty());

    service.StartRecording();
    Load("b", "lua");
    Bytes(service.OpenFile("A", "lua", __FILE__, __LINE__));
    Load("B", "lua");
    Load("missing", "lua");
    const std::string longName = "b" + std::string(40, 'x');
    service.AddFile("", "d/", longName.c_str(), "srt", 0, 0);
    service.OpenFile(longName.c_str(), "srt", __FILE__, __LINE__); // found, open fails
    service.StopRecording();
    Load("a", "lua");

    const std::vector<AccessRecord>& list = service.GetAccessList();
    ASSERT_EQ(3u, list.size());
    EXPECT_STREQ("b", list[0].name);
    EXPECT_STREQ("A", list[1].name);
    EXPECT_STREQ("lua", list[1].extension);
    EXPECT_EQ(longName.substr(0, 32), list[2].name);

    service.StartRecording();
    EXPECT_TRUE(service.GetAccessList().empty());
}

TEST_F(Service, VisitorsWalkMountOrderAndStopWhenAsked) {
    AddPackFile("one", {{"m1", "mesh", "1"}, {"m2", "mesh", "2"}});
    const std::string longName(32, 'l');
    AddPackFile("two", {{longName, "mesh", "3"}});
    ASSERT_TRUE(service.Mount("one", true));
    ASSERT_TRUE(service.Mount("two", true));
    std::string names;
    size_t stopAfter = 10;
    const auto collect = [&](const char* name, const char*) {
        names += std::string(name) + ",";
        return --stopAfter > 0;
    };
    EXPECT_TRUE(service.ForEachFile("mesh", collect));
    EXPECT_TRUE(service.ForEachFileInPack("TWO", "mesh", collect));
    EXPECT_TRUE(service.ForEachFileInPack("three", "mesh", collect));
    EXPECT_TRUE(service.ForEachFile("lua", collect));
    EXPECT_EQ("m1,m2," + longName + "," + longName + ",", names);
    stopAfter = 2;
    EXPECT_FALSE(service.ForEachFile("mesh", collect));
    EXPECT_EQ("m1,m2," + longName + "," + longName + ",m1,m2,", names);
}

} // namespace
