// The "installed_updates" document.
#include "updater/UpdateDocuments.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// The document is exactly six lines; the version is cut as the reader would cut it, then
// escaped so that markup reads back as text. The old document is replaced whole or not at all.
TEST(WriteInstalledUpdates, WritesTheSixLinesOrKeepsTheOld) {
    TempDir dir;
    const std::string path = dir / "installed_updates";
    ASSERT_TRUE(WriteInstalledUpdates(path.c_str(), ("<&" + std::string(40, '9')).c_str()));
    EXPECT_EQ("<?xml version=\"1.0\"?>\n<game>\n   <update>\n      <to>&lt;&amp;" +
                  std::string(29, '9') + "</to>\n   </update>\n</game>\n",
              ReadWholeFile(path));
    // A target that cannot be replaced (a directory) keeps what it had; nothing is left over.
    fs::create_directory(dir / "blocked");
    EXPECT_FALSE(WriteInstalledUpdates((dir / "blocked").c_str(), "3.0"));
    EXPECT_TRUE(fs::is_empty(dir / "blocked"));
    EXPECT_FALSE(fs::exists(dir / "blocked.new"));
}

} // namespace
