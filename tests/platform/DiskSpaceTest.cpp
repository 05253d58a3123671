#include "core/platform/DiskSpace.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The answer for a directory, and for a file that does not exist yet inside it, is the
// volume's available space as the standard library sees it (other writers may move it a
// little in between).
TEST(DiskSpace, MatchesTheVolumeOfTheDirectoryAndOfAFileToBe) {
    TempDir dir;
    const uint64_t expected = fs::space(dir.Path()).available;
    const uint64_t slack = 64u << 20;
    for (const std::string& path : {dir.Path(), dir / "not-yet-there"}) {
        uint64_t free = 0;
        ASSERT_TRUE(PlatformDiskFreeBytes(path.c_str(), &free)) << path;
        EXPECT_LT(free, expected + slack) << path;
        EXPECT_GT(free + slack, expected) << path;
    }
}

} // namespace
