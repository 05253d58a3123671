#include "core/platform/Directory.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

TEST(Directory, MakesOneLevelAndTellsDirectoriesFromFiles) {
    TempDir dir;
    const std::string made = dir / "made";
    EXPECT_TRUE(PlatformMakeDirectory(made.c_str()));
    EXPECT_FALSE(PlatformMakeDirectory(made.c_str()));
    EXPECT_TRUE(PlatformIsDirectory(made.c_str()));
    const std::string nested = dir / "missing/level";
    EXPECT_FALSE(PlatformMakeDirectory(nested.c_str()));
    WriteWholeFile(dir / "file", "x");
    EXPECT_FALSE(PlatformIsDirectory((dir / "file").c_str()));
    EXPECT_FALSE(PlatformIsDirectory((dir / "nothing").c_str()));

    char current[260];
    ASSERT_TRUE(PlatformCurrentDirectory(current, sizeof current));
    EXPECT_EQ(fs::current_path(), fs::path(current));
    char tiny[2];
    EXPECT_FALSE(PlatformCurrentDirectory(tiny, sizeof tiny));
    EXPECT_STREQ("", tiny);
}

} // namespace
