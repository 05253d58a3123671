#include "core/platform/DiskSpace.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A directory and a file to be made in it get the volume's space, give or take other writers.
TEST(DiskSpace, MatchesTheVolumeOfTheDirectoryAndOfAFileToBe) {
    TempDir dir;
    const uint64_t expected = std::filesystem::space(dir.Path()).available;
    const uint64_t slack = 64u << 20;
    for (const std::string& path : {dir.Path(), dir / "not-yet-there"}) {
        uint64_t free = 0;
        ASSERT_TRUE(PlatformDiskFreeBytes(path.c_str(), &free)) << path;
        EXPECT_LT(free, expected + slack) << path;
        EXPECT_GT(free + slack, expected) << path;
    }
}

} // namespace
