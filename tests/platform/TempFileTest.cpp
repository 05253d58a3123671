#include "core/platform/TempFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// Each name is a new empty file of its own in the temporary directory; a path that does not fit
// is refused. Only the updater's worker takes names, so one thread suffices.
TEST(TempFile, EachNameIsANewEmptyFileInTheTemporaryDirectory) {
    char first[512], second[512];
    ASSERT_TRUE(PlatformCreateTempFile(first, sizeof first));
    ASSERT_TRUE(PlatformCreateTempFile(second, sizeof second));
    EXPECT_STRNE(first, second);
    const fs::path temp = fs::canonical(fs::temp_directory_path());
    for (const char* name : {first, second}) {
        EXPECT_TRUE(fs::is_regular_file(name) && fs::file_size(name) == 0) << name;
        EXPECT_EQ(temp, fs::canonical(fs::absolute(name).parent_path())) << name;
        std::remove(name);
    }
    char path[4];
    EXPECT_FALSE(PlatformCreateTempFile(path, sizeof path));
    EXPECT_STREQ("", path);
}

} // namespace
