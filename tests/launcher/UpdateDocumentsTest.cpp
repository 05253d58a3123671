// The update list as the updater reads it, and the "installed_updates" document it writes.
#include "launcher/UpdateDocuments.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// ReadUpdateList on a file holding bytes: every record as "for|to|name|file|sha256|size;", or
// "refused" when it fails and leaves the list as it was.
std::string Read(const std::string& bytes) {
    TempDir dir;
    WriteWholeFile(dir / "list.xml", bytes);
    UpdateList list(1);
    if (!ReadUpdateList((dir / "list.xml").c_str(), &list))
        return list.size() == 1 ? "refused" : "refused, but the list changed";
    std::string text;
    for (const UpdateRecord& r : list)
        text += std::string(r.forVersion) + "|" + r.toVersion + "|" + r.name + "|" + r.file + "|" +
                r.sha256 + "|" + r.size + ";";
    return text;
}

// Entries in document order, their fields in any order; other elements are passed over.
TEST(ReadUpdateList, ReadsEveryEntryOfAGameOrRefusesTheDocument) {
    EXPECT_EQ("1.0|1.1|First|a.zip|ab|2;1.1|1.2||||;|||||;",
              Read("<?xml version=\"1.0\"?>\n<game><update><for>1.0</for><to>1.1</to><name>First"
                   "</name><file>a.zip</file><sha256>ab</sha256><size>2</size></update><news>"
                   "<update><to>9</to></update></news><update><to>1.2</to><for>1.1</for>"
                   "</update><update/></game>\n"));
    EXPECT_EQ("", Read("<game><news>none</news></game>"));
    for (const char* bytes : {"<Game><update><to>1.1</to></update></Game>", "<game><update></game>",
                              "not xml at all", "", "<game><update>\xd8"})
        EXPECT_EQ("refused", Read(bytes)) << bytes;
}

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
