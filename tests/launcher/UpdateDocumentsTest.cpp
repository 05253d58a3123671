#include "launcher/UpdateDocuments.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// ReadUpdateList on a file holding bytes; the list starts with one marker entry so that
// "left unchanged" can be seen.
struct ListRead {
    ListRead(const std::string& bytes) {
        WriteWholeFile(dir / "list.xml", bytes);
        UpdateRecord marker{};
        std::snprintf(marker.name, sizeof marker.name, "marker");
        list.push_back(marker);
        ok = ReadUpdateList((dir / "list.xml").c_str(), &list);
    }
    // Every record as "for|to|name|file;".
    std::string Records() const {
        std::string text;
        for (const UpdateRecord& r : list)
            text +=
                std::string(r.forVersion) + "|" + r.toVersion + "|" + r.name + "|" + r.file + ";";
        return text;
    }
    TempDir dir;
    UpdateList list;
    bool ok;
};

// Fields are read whatever their order; other elements are passed over; texts longer than their
// fields are cut to them.
TEST(ReadUpdateList, ReadsEntriesInDocumentOrderWhateverTheOrderOfTheirFields) {
    const std::string version(100, 'v'), address(2000, 'a');
    ListRead read("<?xml version=\"1.0\"?>\n<game>\n"
                  "  <update><for>1.0</for><to>1.1</to><name>First</name>"
                  "<file>http://h/a.zip</file></update>\n"
                  "  <news>ignored</news>\n"
                  "  <update><to>1.2</to><file>http://h/b.zip</file><for>1.1</for>"
                  "<name>Second</name></update>\n"
                  "  <update><for>1.2</for><for>other</for><to>1.3</to>"
                  "<extra><to>9</to></extra></update>\n"
                  "<update/><update><for>" +
                  version + "</for><to>" + version + "</to><name>" + address + "</name><file>" +
                  address + "</file></update></game>\n");
    ASSERT_TRUE(read.ok);
    const std::string v = version.substr(0, 31), a = address.substr(0, 511);
    EXPECT_EQ("1.0|1.1|First|http://h/a.zip;1.1|1.2|Second|http://h/b.zip;1.2|1.3||;|||;" + v +
                  "|" + v + "|" + a + "|" + a + ";",
              read.Records());
}

TEST(ReadUpdateList, RefusesWhatIsNoUpdateListAndLeavesTheListAlone) {
    for (const char* bytes :
         {"<Game><update><to>1.1</to></update></Game>", // case counts
          "<game><update></game>", "not xml at all", "", "<list/>", "<?xml version=\"1.0\"?>",
          "<game>\xf0", "<game><update>\xd8"}) { // a UTF-8 lead byte cut off by the end
        ListRead read(bytes);
        EXPECT_FALSE(read.ok) << bytes;
        EXPECT_EQ("||marker|;", read.Records()) << bytes;
    }
    // A "game" without entries is a valid, empty list.
    ListRead empty("<game><news>none</news>update<!--update--></game>");
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.list.empty());
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
        EXPECT_STREQ("", list[0].forVersion);
    }
    EXPECT_FALSE(fs::exists(path + ".new"));

    // A target that cannot be replaced (a directory) keeps what it had; nothing is left over.
    const std::string blocked = dir / "blocked";
    fs::create_directory(blocked);
    WriteWholeFile(blocked + "/keep", "kept");
    EXPECT_FALSE(WriteInstalledUpdates(blocked.c_str(), "3.0"));
    EXPECT_EQ("kept", ReadWholeFile(blocked + "/keep"));
    EXPECT_FALSE(fs::exists(blocked + ".new"));

    // No file can be made in a missing directory; the result says so.
    EXPECT_FALSE(WriteInstalledUpdates((dir / "no/such/dir/installed_updates").c_str(), "3.0"));
}

} // namespace
