#include "launcher/UpdateDocuments.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
    TempDir dir;
    UpdateList list;
    bool ok;
};

void ExpectRecord(const UpdateRecord& record, const char* forVersion, const char* toVersion,
                  const char* name, const char* file) {
    EXPECT_STREQ(forVersion, record.forVersion);
    EXPECT_STREQ(toVersion, record.toVersion);
    EXPECT_STREQ(name, record.name);
    EXPECT_STREQ(file, record.file);
}

TEST(ReadUpdateList, ReadsEntriesInDocumentOrderWhateverTheOrderOfTheirFields) {
    ListRead read("<?xml version=\"1.0\"?>\n"
                  "<game>\n"
                  "  <update><for>1.0</for><to>1.1</to><name>First</name>"
                  "<file>http://h/a.zip</file></update>\n"
                  "  <news>ignored</news>\n"
                  "  <update><to>1.2</to><file>http://h/b.zip</file><for>1.1</for>"
                  "<name>Second</name></update>\n"
                  "  <!-- an update commented out: <update><for>9</for></update> -->\n"
                  "  <update version=\"x\"><for>1.2</for><for>other</for><to>1.3</to>"
                  "<extra><to>9</to></extra></update>\n"
                  "</game>\n");
    ASSERT_TRUE(read.ok);
    ASSERT_EQ(3u, read.list.size());
    ExpectRecord(read.list[0], "1.0", "1.1", "First", "http://h/a.zip");
    ExpectRecord(read.list[1], "1.1", "1.2", "Second", "http://h/b.zip");
    ExpectRecord(read.list[2], "1.2", "1.3", "", "");
}

TEST(ReadUpdateList, MissingEmptyAndNonTextFieldsAreEmpty) {
    ListRead read("<game>"
                  "<update><for></for><to>1.1</to></update>"
                  "<update><for/><to>  spaced   out  </to></update>"
                  "<update><to>1.3</to></update>"
                  "<update><for><!-- later -->1.0</for><to>A &amp; B &lt;1&gt; &#65;</to></update>"
                  "<update/>"
                  "</game>");
    ASSERT_TRUE(read.ok);
    ASSERT_EQ(5u, read.list.size());
    ExpectRecord(read.list[0], "", "1.1", "", "");
    ExpectRecord(read.list[1], "", "spaced out", "", "");
    ExpectRecord(read.list[2], "", "1.3", "", "");
    ExpectRecord(read.list[3], "", "A & B <1> A", "", "");
    ExpectRecord(read.list[4], "", "", "", "");
}

TEST(ReadUpdateList, RefusesWhatIsNoUpdateListAndLeavesTheListAlone) {
    for (const char* bytes :
         {"<Game><update><to>1.1</to></update></Game>", // case counts
          "<game><update></game>", "not xml at all", "", "<list/>", "<?xml version=\"1.0\"?>",
          "<game>\xf0", "<game><update>\xd8"}) { // a UTF-8 lead byte cut off by the end
        ListRead read(bytes);
        EXPECT_FALSE(read.ok) << bytes;
        ASSERT_EQ(1u, read.list.size()) << bytes;
        EXPECT_STREQ("marker", read.list[0].name);
    }
    TempDir dir;
    UpdateList list(2);
    EXPECT_FALSE(ReadUpdateList((dir / "missing").c_str(), &list));
    EXPECT_EQ(2u, list.size());

    // A "game" without entries is a valid, empty list.
    ListRead empty("<game><news>none</news>update<!--update--></game>");
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.list.empty());
}

TEST(ReadUpdateList, CutsTextsToTheirFields) {
    const std::string version(100, 'v');
    const std::string address(2000, 'a');
    ListRead read("<game><update><for>" + version + "</for><to>" + version + "</to><name>" +
                  address + "</name><file>" + address + "</file></update></game>");
    ASSERT_TRUE(read.ok);
    ASSERT_EQ(1u, read.list.size());
    ExpectRecord(read.list[0], version.substr(0, 31).c_str(), version.substr(0, 31).c_str(),
                 address.substr(0, 511).c_str(), address.substr(0, 511).c_str());
}

TEST(WriteInstalledUpdates, WritesTheSixLinesAndReadsBack) {
    TempDir dir;
    const std::string path = dir / "installed_updates";
    ASSERT_TRUE(WriteInstalledUpdates(path.c_str(), "1.2"));
    EXPECT_EQ("<?xml version=\"1.0\"?>\n"
              "<game>\n"
              "   <update>\n"
              "      <to>1.2</to>\n"
              "   </update>\n"
              "</game>\n",
              ReadWholeFile(path));

    UpdateList list;
    ASSERT_TRUE(ReadUpdateList(path.c_str(), &list));
    ASSERT_EQ(1u, list.size());
    ExpectRecord(list[0], "", "1.2", "", "");
}

TEST(WriteInstalledUpdates, EscapesMarkupSoThatTheVersionReadsBackUnchanged) {
    TempDir dir;
    const std::string path = dir / "installed_updates";
    for (const char* version : {"1.0<beta>", "R&D &amp; 2", "</to></update></game>", ""}) {
        ASSERT_TRUE(WriteInstalledUpdates(path.c_str(), version)) << version;
        UpdateList list;
        ASSERT_TRUE(ReadUpdateList(path.c_str(), &list)) << ReadWholeFile(path);
        ASSERT_EQ(1u, list.size());
        EXPECT_STREQ(version, list[0].toVersion);
    }
    // A version longer than the field is cut as the reader would cut it.
    const std::string longVersion(40, '9');
    ASSERT_TRUE(WriteInstalledUpdates(path.c_str(), longVersion.c_str()));
    UpdateList list;
    ASSERT_TRUE(ReadUpdateList(path.c_str(), &list));
    EXPECT_EQ(longVersion.substr(0, 31), list[0].toVersion);
}

TEST(WriteInstalledUpdates, ReplacesTheOldDocumentWholeOrNotAtAll) {
    TempDir dir;
    const std::string path = dir / "installed_updates";
    WriteWholeFile(path, "<game><update><to>1.0</to></update><update><to>1.1</to></update>"
                         "<update><to>1.5</to></update></game>");
    UpdateList list;
    ASSERT_TRUE(ReadUpdateList(path.c_str(), &list));
    ASSERT_EQ(3u, list.size());
    EXPECT_STREQ("1.5", list.back().toVersion);

    ASSERT_TRUE(WriteInstalledUpdates(path.c_str(), "2.0"));
    ASSERT_TRUE(ReadUpdateList(path.c_str(), &list));
    ASSERT_EQ(1u, list.size());
    EXPECT_STREQ("2.0", list[0].toVersion);
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));

    // A target that cannot be replaced (a directory) keeps what it had; nothing is left over.
    const std::string blocked = dir / "blocked";
    std::filesystem::create_directory(blocked);
    WriteWholeFile(blocked + "/keep", "kept");
    EXPECT_FALSE(WriteInstalledUpdates(blocked.c_str(), "3.0"));
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_EQ("kept", ReadWholeFile(blocked + "/keep"));
    EXPECT_FALSE(std::filesystem::exists(blocked + ".new"));

    // No file can be made in a missing directory; the result says so.
    EXPECT_FALSE(WriteInstalledUpdates((dir / "no/such/dir/installed_updates").c_str(), "3.0"));
}

} // namespace
