#include "core/platform/TempFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Names taken by threads at once differ, each a new empty file in the temporary directory.
TEST(TempFile, NamesFromManyThreadsNeverCollide) {
    std::vector<std::string> names(100);
    std::vector<std::thread> threads;
    for (size_t first = 0; first < 4; ++first)
        threads.emplace_back([&names, first] {
            for (size_t i = first; i < names.size(); i += 4) {
                char path[512];
                names[i] = PlatformCreateTempFile(path, sizeof path) ? path : "not created";
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    const fs::path temp = fs::canonical(fs::temp_directory_path());
    for (const std::string& name : names) {
        EXPECT_TRUE(fs::is_regular_file(name) && fs::file_size(name) == 0) << name;
        EXPECT_EQ(temp, fs::canonical(fs::absolute(name).parent_path())) << name;
        std::remove(name.c_str());
    }
    EXPECT_EQ(names.size(), std::set<std::string>(names.begin(), names.end()).size());

    char path[4];
    EXPECT_FALSE(PlatformCreateTempFile(path, sizeof path));
    EXPECT_STREQ("", path);
}

} // namespace
