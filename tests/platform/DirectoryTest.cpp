#include "core/platform/Directory.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

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

} // namespace
