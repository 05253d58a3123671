#include "core/platform/Directory.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

// Making levels and working in the current directory is what every extraction does; here a
// file or nothing is no directory, and a current directory that does not fit is not cut.
TEST(Directory, TellsDirectoriesFromFilesAndGivesTheCurrentDirectoryWholeOrNotAtAll) {
    TempDir dir;
    WriteWholeFile(dir / "file", "x");
    EXPECT_FALSE(PlatformIsDirectory((dir / "file").c_str()));
    EXPECT_FALSE(PlatformIsDirectory((dir / "nothing").c_str()));
    char tiny[2];
    EXPECT_FALSE(PlatformCurrentDirectory(tiny, sizeof tiny));
    EXPECT_STREQ("", tiny);
}

// Every item is named once, links as themselves, also when the visit removes what it is given;
// only a file itself is a plain file.
TEST(Directory, NamesEveryItemOnceAndTellsPlainFiles) {
    TempDir dir;
    const std::string inner = dir / "inner";
    ASSERT_TRUE(PlatformMakeDirectory(inner.c_str()));
    WriteWholeFile(inner + "/a", "a");
    WriteWholeFile(inner + "/b.txt", "b");
    ASSERT_TRUE(PlatformMakeDirectory((inner + "/sub").c_str()));
    std::error_code error;
    std::filesystem::create_symlink(inner + "/a", inner + "/link", error);
    std::set<std::string> expected = {"a", "b.txt", "sub"};
    if (!error)
        expected.insert("link");
    struct Visit {
        std::string directory;
        std::multiset<std::string> names;
    } visit{inner, {}};
    ASSERT_TRUE(PlatformDirectoryNames(
        inner.c_str(),
        [](const char* name, void* user) {
            Visit* seen = static_cast<Visit*>(user);
            seen->names.insert(name);
            PlatformRemoveTree((seen->directory + "/" + name).c_str());
        },
        &visit));
    EXPECT_EQ(std::multiset<std::string>(expected.begin(), expected.end()), visit.names);
    EXPECT_TRUE(std::filesystem::is_empty(inner));
    EXPECT_FALSE(PlatformDirectoryNames((dir / "nothing").c_str(), nullptr, nullptr));

    WriteWholeFile(dir / "file", "x");
    EXPECT_TRUE(PlatformIsPlainFile((dir / "file").c_str()));
    EXPECT_FALSE(PlatformIsPlainFile(inner.c_str()));
    EXPECT_FALSE(PlatformIsPlainFile((dir / "nothing").c_str()));
    std::filesystem::create_symlink(dir / "file", dir / "link", error);
    if (!error) {
        EXPECT_FALSE(PlatformIsPlainFile((dir / "link").c_str()));
    }
}

} // namespace
