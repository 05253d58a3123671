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

// Names taken by several threads at once are all different and each is a real, empty file in
// the temporary directory.
TEST(TempFile, NamesFromManyThreadsNeverCollide) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 25;
    std::vector<std::vector<std::string>> names(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&names, t] {
            for (int i = 0; i < kPerThread; ++i) {
                char path[512];
                if (PlatformCreateTempFile(path, sizeof path))
                    names[t].push_back(path);
            }
        });
    for (std::thread& thread : threads)
        thread.join();

    std::set<std::string> distinct;
    const fs::path temp = fs::canonical(fs::temp_directory_path());
    for (const auto& list : names) {
        EXPECT_EQ(size_t(kPerThread), list.size());
        for (const std::string& name : list) {
            distinct.insert(name);
            EXPECT_TRUE(fs::is_regular_file(name)) << name;
            EXPECT_EQ(0u, fs::file_size(name)) << name;
            EXPECT_EQ(temp, fs::canonical(fs::path(name).parent_path())) << name;
        }
    }
    EXPECT_EQ(size_t(kThreads * kPerThread), distinct.size());
    for (const std::string& name : distinct)
        std::remove(name.c_str());

    // A path that does not fit leaves nothing behind.
    char path[4];
    EXPECT_FALSE(PlatformCreateTempFile(path, sizeof path));
    EXPECT_STREQ("", path);
}

} // namespace
