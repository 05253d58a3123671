#include "core/platform/Directory.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// One level is made, never two nor an existing one; the current directory whole or not at all.
TEST(Directory, MakesOneLevelAndTellsDirectoriesFromFiles) {
    TempDir dir;
    WriteWholeFile(dir / "file", "x");
    EXPECT_TRUE(PlatformMakeDirectory((dir / "made").c_str()));
    EXPECT_FALSE(PlatformMakeDirectory((dir / "made").c_str()));
    EXPECT_FALSE(PlatformMakeDirectory((dir / "missing/level").c_str()));
    EXPECT_TRUE(PlatformIsDirectory((dir / "made").c_str()));
    EXPECT_FALSE(PlatformIsDirectory((dir / "file").c_str()));
    EXPECT_FALSE(PlatformIsDirectory((dir / "nothing").c_str()));

    char current[260];
    ASSERT_TRUE(PlatformCurrentDirectory(current, sizeof current));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(current));
    char tiny[2];
    EXPECT_FALSE(PlatformCurrentDirectory(tiny, sizeof tiny));
    EXPECT_STREQ("", tiny);
}

} // namespace
