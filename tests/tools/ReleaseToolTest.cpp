// gamerelease against the launcher's own code: packages it builds are applied by the real
// updater from a real server, the lists it writes are read by the launcher's reader, and its
// check refuses what the launcher would.
#include "tools/release/ReleaseTool.h"

#include "launcher/UpdateDocuments.h"
#include "tests/launcher/UpdaterFixture.h"
#include "tests/support/Minisign.h"
#include "tests/support/ZipBuilder.h"
#include "tests/tools/ToolRun.h"
#include "tools/release/ReleaseNames.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

// Relative name -> bytes; a name ending in '/' is a directory.
using Tree = std::map<std::string, std::string>;

void WriteTree(const std::string& dir, const Tree& tree) {
    fs::create_directories(dir);
    for (const auto& item : tree) {
        const fs::path path = fs::path(dir) / item.first;
        fs::create_directories(item.first.back() == '/' ? path : path.parent_path());
        if (item.first.back() != '/')
            WriteWholeFile(path.generic_string(), item.second);
    }
}

Tree ReadTree(const std::string& dir, const std::set<std::string>& skipped = {}) {
    Tree tree;
    for (const auto& item : fs::recursive_directory_iterator(dir)) {
        const std::string name = fs::relative(item.path(), dir).generic_string();
        if (skipped.count(name))
            continue;
        if (item.is_directory())
            tree[name + "/"] = "";
        else
            tree[name] = ReadWholeFile(item.path().generic_string());
    }
    return tree;
}

// Every directory a tree's files imply, as ReadTree shows them.
Tree WithDirectories(Tree tree) {
    const Tree files = tree;
    for (const auto& item : files)
        for (size_t slash = item.first.find('/');
             slash != std::string::npos && slash + 1 < item.first.size();
             slash = item.first.find('/', slash + 1))
            tree[item.first.substr(0, slash + 1)] = "";
    return tree;
}

// Entry name -> compression method.
std::map<std::string, int> ArchiveEntries(const std::string& path) {
    std::map<std::string, int> entries;
    unzFile archive = unzOpen64(path.c_str());
    EXPECT_TRUE(archive) << path;
    for (int walk = archive ? unzGoToFirstFile(archive) : UNZ_BADZIPFILE; walk == UNZ_OK;
         walk = unzGoToNextFile(archive)) {
        unz_file_info64 info;
        char name[260];
        unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        entries[name] = int(info.compression_method);
    }
    if (archive)
        unzClose(archive);
    return entries;
}

class ReleaseTool : public UpdaterFixture {
protected:
    ToolOutcome Run(const std::vector<std::string>& args) {
        // No progress line: the caught error stream is no terminal.
        const auto entry = [](int argc, char** argv, FILE* out, FILE* err) {
            return ReleaseToolMain(argc, argv, out, err, nullptr);
        };
        return RunTool(entry, "gamerelease", args, work.Path());
    }

    // package for the directories oldDir and newDir below work.
    std::vector<std::string> PackageArgs(const std::string& oldDir, const std::string& newDir,
                                         const std::string& from, const std::string& to,
                                         const std::string& out = "site") {
        return {"package", work / oldDir, work / newDir,  "--from", from,      "--to",
                to,        "--url",       server.Url(""), "--out",  work / out};
    }

    ToolOutcome Package(const std::string& from, const std::string& to,
                        const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = PackageArgs(from, to, from, to);
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }

    std::string site() const { return work / "site"; }

    // Every file of the site on the test server, under its own name.
    void ServeSite() {
        for (const auto& item : fs::directory_iterator(site()))
            server.Serve(item.path().filename().string(),
                         ReadWholeFile(item.path().generic_string()));
        WriteIni({{"URL1", server.Url("list.xml")}});
    }

    TempDir work;
};

// Four releases of a game, each packaged against the one before: unchanged, changed (same
// size), new, removed, empty and incompressible files, and a new empty directory.
TEST_F(ReleaseTool, ThreeReleasesApplyInOneRunAndLeaveTheLastTree) {
    const Tree v10 = {{"game.exe", "MZ v1"},
                      {"data/same.txt", CompressibleText(50000, 1)},
                      {"data/levels/1.txt", "meadow"},
                      {"data/old.txt", "dropped in 1.1"}};
    Tree v11 = v10;
    v11.erase("data/old.txt");
    v11["game.exe"] = "MZ v2";
    v11["data/levels/2.bin"] = RandomBytes(300000, 2);
    v11["data/empty.txt"] = "";
    v11["saves/"] = "";
    Tree v12 = v11;
    v12["data/levels/1.txt"] = CompressibleText(80000, 3);
    v12["bin/tools/x.dll"] = "MZ tool";
    Tree v13 = v12;
    v13["game.exe"] = "MZ v3 with more";
    const std::vector<std::pair<std::string, const Tree*>> releases = {
        {"1.0", &v10}, {"1.1", &v11}, {"1.2", &v12}, {"1.3", &v13}};
    for (const auto& release : releases)
        WriteTree(work / release.first, *release.second);

    const ToolOutcome first = Package("1.0", "1.1");
    ASSERT_EQ(0, first.code) << first.err;
    EXPECT_TRUE(Contains(first.out, "removed (the launcher deletes nothing): data/old.txt"));
    EXPECT_EQ((std::map<std::string, int>{
                  {"data/empty.txt", 0}, {"data/levels/2.bin", 0}, {"game.exe", 0}, {"saves/", 0}}),
              ArchiveEntries(work / "site/update-1.0-to-1.1.zip"));
    EXPECT_EQ(0, Package("1.1", "1.2").code);
    EXPECT_EQ((std::map<std::string, int>{{"bin/tools/x.dll", 0}, {"data/levels/1.txt", 8}}),
              ArchiveEntries(work / "site/update-1.1-to-1.2.zip"));
    EXPECT_EQ(0, Package("1.2", "1.3", {"--name", "Fish & <Chips>"}).code);

    UpdateList list;
    ASSERT_TRUE(ReadUpdateList((work / "site/list.xml").c_str(), &list));
    ASSERT_EQ(3u, list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(releases[i].first, list[i].forVersion);
        EXPECT_EQ(releases[i + 1].first, list[i].toVersion);
        EXPECT_EQ(
            server.Url("update-" + releases[i].first + "-to-" + releases[i + 1].first + ".zip"),
            list[i].file);
    }
    EXPECT_STREQ("update 1.0 to 1.1", list[0].name);
    EXPECT_STREQ("Fish & <Chips>", list[2].name);

    const ToolOutcome check = Run({"check", site(), "--from", "1.0"});
    EXPECT_EQ(0, check.code) << check.out;
    EXPECT_TRUE(Contains(check.out, "list.xml: 3 updates")) << check.out;
    EXPECT_TRUE(Contains(check.out, "applies 3: 1.0 -> 1.1 -> 1.2 -> 1.3")) << check.out;
    EXPECT_TRUE(Contains(check.out, "update-1.2-to-1.3.zip: ok, 1 entries")) << check.out;

    WriteTree(install, v10);
    ServeSite();
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ("1.3", InstalledVersion());
    // Deletions aside, the installation is the last release.
    Tree expected = WithDirectories(v13);
    expected["data/old.txt"] = "dropped in 1.1";
    EXPECT_EQ(expected, ReadTree(install, {"launcher.ini", Updater::kInstalledUpdates}));
}

// A signed site: package lists each package's hash and size, check --key refuses what a
// launcher with that "ListKey" refuses, and that launcher applies what check passes.
TEST_F(ReleaseTool, ASignedSiteIsCheckedAsTheLauncherChecksIt) {
    WriteTree(work / "1.0", {{"a.txt", "a"}});
    WriteTree(work / "1.1", {{"a.txt", CompressibleText(20000, 4)}});
    ASSERT_EQ(0, Package("1.0", "1.1").code);
    const std::string zip = site() + "/update-1.0-to-1.1.zip", listPath = site() + "/list.xml";
    UpdateList list;
    ASSERT_TRUE(ReadUpdateList(listPath.c_str(), &list));
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ(std::to_string(fs::file_size(zip)), list[0].size);
    EXPECT_EQ(64u, strlen(list[0].sha256));

    const MinisignKey studio, other;
    const std::string listText = ReadWholeFile(listPath), zipBytes = ReadWholeFile(zip);
    const std::string signature = studio.Sign(listText);
    WriteWholeFile(listPath + ".minisig", signature);
    const ToolOutcome good = Run({"check", site(), "--key", studio.PublicFile()});
    EXPECT_EQ(0, good.code) << good.out << good.err;
    EXPECT_TRUE(Contains(good.out, "signature: valid")) << good.out;
    ServeSite();
    WriteIni({{"URL1", server.Url("list.xml")}, {"ListKey", studio.PublicLine()}});
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ("1.1", InstalledVersion());

    struct Case {
        const char* name;
        std::string list, signature, package, keyFile;
        const char* report;
    };
    const Case cases[] = {
        {"package changed", listText, signature, zipBytes + "x", studio.PublicFile(),
         "REFUSED: the package does not match"},
        {"list changed", listText + "\n", signature, zipBytes, studio.PublicFile(),
         "signature: REFUSED"},
        {"another key", listText, signature, zipBytes, other.PublicFile(), "signature: REFUSED"},
        {"no signature", listText, "", zipBytes, studio.PublicFile(), "signature: REFUSED"},
    };
    for (const Case& test : cases) {
        WriteWholeFile(listPath, test.list);
        WriteWholeFile(zip, test.package);
        remove((listPath + ".minisig").c_str());
        if (!test.signature.empty())
            WriteWholeFile(listPath + ".minisig", test.signature);
        const ToolOutcome check = Run({"check", site(), "--key", test.keyFile});
        EXPECT_EQ(1, check.code) << test.name;
        EXPECT_TRUE(Contains(check.out, test.report)) << test.name << "\n" << check.out;
    }
    const ToolOutcome notAKey = Run({"check", site(), "--key", listPath});
    EXPECT_EQ(1, notAKey.code);
    EXPECT_TRUE(Contains(notAKey.err, "is not a minisign public key file")) << notAKey.err;
}

// A list a studio wrote by hand keeps every byte: line ends, comments, other elements and
// fields the launcher does not know; the new entry goes last, in the file's line ends.
TEST_F(ReleaseTool, AddingToAListKeepsWhatIsThere) {
    const std::string head = "<?xml version=\"1.0\"?>\r\n<!-- studio -->\r\n<game>\r\n"
                             "  <motd>hello</motd>\r\n"
                             "  <update><to>0.9</to><for>0.8</for><sha>ab</sha>"
                             "<file>http://cdn/0.9.zip</file></update>\r\n";
    const std::string tail = "</game>\r\n<!-- end -->\r\n";
    WriteTree(work / "site", {{"list.xml", head + tail}});
    WriteTree(work / "0.9", {{"a.txt", "a"}});
    WriteTree(work / "1.0", {{"a.txt", "b"}});
    ASSERT_EQ(0, Package("0.9", "1.0").code);

    const std::string text = ReadWholeFile(work / "site/list.xml");
    ASSERT_GT(text.size(), head.size() + tail.size());
    EXPECT_EQ(head, text.substr(0, head.size()));
    EXPECT_EQ(tail, text.substr(text.size() - tail.size()));
    const std::string added = text.substr(head.size(), text.size() - head.size() - tail.size());
    // Every line end is the file's own "\r\n".
    size_t crlf = 0;
    for (size_t at = added.find("\r\n"); at != std::string::npos; at = added.find("\r\n", at + 2))
        ++crlf;
    EXPECT_EQ(size_t(std::count(added.begin(), added.end(), '\n')), crlf);
    EXPECT_EQ(8u, crlf) << added; // the entry with its package's hash and size
    UpdateList list;
    ASSERT_TRUE(ReadUpdateList((work / "site/list.xml").c_str(), &list));
    ASSERT_EQ(2u, list.size());
    EXPECT_STREQ("0.9", list[0].toVersion);
    EXPECT_STREQ("http://cdn/0.9.zip", list[0].file);
    EXPECT_STREQ("0.9", list[1].forVersion);
    EXPECT_STREQ("1.0", list[1].toVersion);
}

// Refusals leave the site as it was: no package, the list unchanged.
TEST_F(ReleaseTool, RefusesWhatTheLauncherCouldNotUseAndWritesNothing) {
    WriteTree(work / "1.0", {{"a.txt", "a"}, {"data", "a file"}});
    WriteTree(work / "1.1", {{"a.txt", "b"}});
    WriteTree(work / "dir", {{"data/x.txt", "x"}});
    WriteTree(work / "ascii", {{"caf\xC3\xA9.txt", "x"}});
    const std::string longVersion(32, '1');
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* message;
    };
    std::vector<std::string> withoutTo = PackageArgs("1.0", "1.1", "1.0", "1.1");
    withoutTo.erase(withoutTo.begin() + 5, withoutTo.begin() + 7);
    const Case cases[] = {
        {PackageArgs("none", "1.1", "1.0", "1.1"), 1, "none is not a readable directory"},
        {PackageArgs("1.0", "1.1", "1.0", longVersion), 1, "longer than the launcher's 31"},
        {PackageArgs("1.0", "1.1", "1.1", "1.1"), 1, "same version"},
        {PackageArgs("1.0", "1.0", "1.0", "1.1"), 1, "nothing is new or changed"},
        {PackageArgs("1.0", "dir", "1.0", "1.1"), 1, "cannot replace one by the other"},
        {PackageArgs("1.1", "ascii", "1.0", "1.1"), 1, "not plain ASCII"},
        {PackageArgs("1.0", "1.1", "1.0", "1.1", "1.1/site"), 1, "lies inside a game directory"},
        {withoutTo, 2, "--to is missing"},
        {{}, 2, "usage: gamerelease COMMAND"},
        {{"check", site(), "--to", "1.0"}, 2, "unknown option --to"},
        {{"check", work / "1.0"}, 1, "is not an update list"},
    };
    for (const Case& test : cases) {
        const ToolOutcome outcome = Run(test.args);
        EXPECT_EQ(test.code, outcome.code) << test.message;
        EXPECT_TRUE(Contains(outcome.err, test.message)) << outcome.err;
        EXPECT_FALSE(fs::exists(site())) << test.message;
    }

    // Lists the update cannot be added to, so that it reads back.
    const std::pair<const char*, const char*> lists[] = {
        {"<Game></Game>", "is not an update list"},
        {"<game></game><!-- </game> -->", "so that it reads back as written"},
    };
    for (const auto& list : lists) {
        WriteTree(site(), {{"list.xml", list.first}});
        EXPECT_TRUE(Contains(Package("1.0", "1.1").err, list.second)) << list.first;
        EXPECT_EQ(Tree({{"list.xml", list.first}}), ReadTree(site()));
    }
    // A package built before.
    WriteTree(site(), {{"list.xml", "<game></game>"}, {"update-1.0-to-1.1.zip", "old"}});
    EXPECT_TRUE(Contains(Package("1.0", "1.1").err, "exists; --force replaces it"));
    EXPECT_EQ("old", ReadWholeFile(work / "site/update-1.0-to-1.1.zip"));
    EXPECT_EQ("<game></game>", ReadWholeFile(work / "site/list.xml"));
    EXPECT_EQ(0, Package("1.0", "1.1", {"--force"}).code);
    EXPECT_EQ(1u, ArchiveEntries(work / "site/update-1.0-to-1.1.zip").size());
    // Built again: the list keeps its one entry.
    EXPECT_EQ(0, Package("1.0", "1.1", {"--force"}).code);
    UpdateList list;
    ASSERT_TRUE(ReadUpdateList((work / "site/list.xml").c_str(), &list));
    EXPECT_EQ(1u, list.size());
}

TEST(ReleaseNames, EntryNamesAndVersionsAreCheckedAsTheLauncherTakesThem) {
    const std::string longest(259, 'x'), tooLong(260, 'x'), version31(31, '9'), version32(32, '9');
    for (const std::string name : {"data/a.txt", "data/", "com10", longest.c_str()})
        EXPECT_EQ(nullptr, EntryNameProblem(name)) << name;
    for (const std::string name :
         {"../x", "a/../../x", "a/. ./x", "C:/x", "a\\..\\x", "nul.txt", "a/COM1", "a?b", "dir./x",
          "a\x01", "caf\xC3\xA9", "", tooLong.c_str()})
        EXPECT_NE(nullptr, EntryNameProblem(name)) << name;
    for (const std::string version : {"1.0", "1.0 beta", version31.c_str()})
        EXPECT_EQ(nullptr, VersionProblem(version)) << version;
    for (const std::string version : {"", " 1.0", "1.0\n", "1  0", version32.c_str()})
        EXPECT_NE(nullptr, VersionProblem(version)) << version;
}

// check reads every entry through the zip reader and names what the launcher would refuse.
TEST_F(ReleaseTool, CheckRefusesHostileAndDamagedPackages) {
    const std::string data = CompressibleText(100000, 7);
    std::string cutDirectory = ZipBuilder().File("a.txt", "a").File("b.txt", "b").Bytes();
    cutDirectory[cutDirectory.rfind("PK\x01\x02") + 3] = '\x09';
    const std::string good = ZipBuilder().File("data/a.txt", data).Directory("saves/").Bytes();
    struct Case {
        const char* file;
        std::string bytes;
        const char* problem;
    };
    const Case cases[] = {
        {"good.zip", good, "good.zip: ok, 2 entries"},
        {"hostile.zip", ZipBuilder().File("a.txt", "a").File("../evil.txt", "x").Bytes(),
         "../evil.txt: the name could reach outside"},
        {"damaged.zip", ZipBuilder().DamagedFile("d.bin", data, 1000).Bytes(),
         "d.bin: its data are damaged"},
        {"crc.zip", ZipBuilder().WrongCrcFile("c.bin", data).Bytes(),
         "c.bin: its checksum does not match"},
        {"method.zip", ZipBuilder().UnsupportedFile("m.bin", data, 97).Bytes(),
         "m.bin: compression method 97"},
        {"short.zip", ZipBuilder().ClaimedSizeFile("s.bin", 1000).Bytes(),
         "s.bin: it holds 0 bytes but claims 1000"},
        {"cut.zip", good.substr(0, good.size() - 10), "cut.zip: REFUSED"},
        {"page.zip", "<html>404</html>", "page.zip: REFUSED: not a readable zip archive"},
        {"directory.zip", cutDirectory, "directory is damaged after 1 entries (it announces 2)"},
    };
    std::vector<ListEntry> entries = {{"0.9", "1.0", "http://cdn/elsewhere.zip"}};
    for (const Case& test : cases) {
        WriteTree(site(), {{test.file, test.bytes}});
        entries.push_back({"1.0", "1.1", "http://cdn/" + std::string(test.file)});
    }
    WriteTree(site(), {{"list.xml", ListXml(entries)}});
    const ToolOutcome outcome = Run({"check", site() + "/list.xml"});
    EXPECT_EQ(1, outcome.code);
    EXPECT_TRUE(Contains(outcome.out, "http://cdn/elsewhere.zip: not here")) << outcome.out;
    EXPECT_TRUE(Contains(outcome.out, "applies 2: 0.9 -> 1.0 -> 1.1")) << outcome.out;
    for (const Case& test : cases)
        EXPECT_TRUE(Contains(outcome.out, test.problem)) << test.file << "\n" << outcome.out;
}

} // namespace
