// The "installed_updates" document the updater writes.
#include "launcher/UpdateDocuments.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// The document is exactly six lines; markup in the version is escaped so that it reads back
// unchanged, and a version longer than the field is cut as the reader would cut it. The old
// document is replaced whole or not at all.
TEST(WriteInstalledUpdates, WritesTheSixLinesAndReadsBackOrKeepsTheOld) {
    TempDir dir;
    const std::string path = dir / "installed_updates";
    ASSERT_TRUE(WriteInstalledUpdates(path.c_str(), "1.2"));
    EXPECT_EQ("<?xml version=\"1.0\"?>\n<game>\n   <update>\n      <to>1.2</to>\n"
              "   </update>\n</game>\n",
              ReadWholeFile(path));
    const std::string longVersion(40, '9');
    for (const std::string version :
         {"1.0<beta>", "R&D &amp; 2", "</to></update></game>", "", longVersion.c_str()}) {
        ASSERT_TRUE(WriteInstalledUpdates(path.c_str(), version.c_str())) << version;
        UpdateList list;
        ASSERT_TRUE(ReadUpdateList(path.c_str(), &list)) << ReadWholeFile(path);
        ASSERT_EQ(1u, list.size());
        EXPECT_EQ(version.substr(0, 31), list[0].toVersion);
    }
    EXPECT_FALSE(fs::exists(path + ".new"));

    // A target that cannot be replaced (a directory) keeps what it had; nothing is left over.
    const std::string blocked = dir / "blocked";
    fs::create_directory(blocked);
    WriteWholeFile(blocked + "/keep", "kept");
    EXPECT_FALSE(WriteInstalledUpdates(blocked.c_str(), "3.0"));
    EXPECT_EQ("kept", ReadWholeFile(blocked + "/keep"));
    EXPECT_FALSE(fs::exists(blocked + ".new"));
    EXPECT_FALSE(WriteInstalledUpdates((dir / "no/such/dir/installed_updates").c_str(), "3.0"));
}

} // namespace
