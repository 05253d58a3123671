// gamerelease against the launcher's own code, a real server and real zip archives.
#include "tools/release/ReleaseTool.h"

#include "tests/support/Minisign.h"
#include "tests/support/ZipBuilder.h"
#include "tests/tools/ToolRun.h"
#include "tests/updater/UpdaterFixture.h"
#include "tools/release/ReleaseNames.h"

#include <filesystem>
#include <tuple>

namespace fs = std::filesystem;

namespace {

class ReleaseTool : public UpdaterFixture {
protected:
    ToolOutcome Run(std::vector<std::string> args, const std::vector<std::string>& extra = {}) {
        args.insert(args.begin(), "gamerelease");
        args.insert(args.end(), extra.begin(), extra.end());
        const auto entry = [](int argc, char** argv, FILE* out, FILE* err) {
            return ReleaseToolMain(argc, argv, out, err, nullptr); // no progress line
        };
        return RunTool(entry, args, work.Path());
    }

    std::vector<std::string> PackageArgs(const char* oldDir = "1.0", const char* newDir = "1.1",
                                         const char* from = "1.0", const char* out = "site") {
        return {"package", work / oldDir, work / newDir,  "--from", from,      "--to",
                "1.1",     "--url",       server.Url(""), "--out",  work / out};
    }

    TempDir work;
    const std::string site = work / "site";
};

// A release (unchanged, changed, new, removed, empty, compressible and incompressible files, an
// empty directory) signed, checked with --key, and applied by a launcher with that "ListKey".
TEST_F(ReleaseTool, ReleaseAppliesAndChecksAsTheLauncherTakesIt) {
    const Tree v10 = {{"game.exe", "MZ v1"},
                      {"data/same.txt", "same"},
                      {"data/levels/1.txt", "meadow"},
                      {"data/old.txt", "old"}};
    const Tree v11 = {{"game.exe", "MZ v2"},
                      {"data/same.txt", "same"},
                      {"data/levels/1.txt", CompressibleText(80000, 3)},
                      {"data/levels/2.bin", RandomBytes(300000, 2)},
                      {"data/empty.txt", ""},
                      {"saves/", ""}};
    WriteTree(work / "1.0", v10);
    WriteTree(work / "1.1", v11);
    const std::string shown = Run(PackageArgs(), {"--name", "Fish & <Chips>"}).out;
    const MinisignKey studio;
    const std::string listPath = site + "/list.xml", list = ReadWholeFile(listPath);
    WriteWholeFile(listPath + ".minisig", studio.Sign(list));
    const ToolOutcome check = Run({"check", site, "--key", studio.PublicFile()});
    EXPECT_EQ(0, check.code) << check.err;
    for (const char* line : {"update-1.0-to-1.1.zip: 6 entries (3 stored)", "list.xml: 1 updates",
                             "removed: data/old.txt", "1.0 -> 1.1 \"Fish & <Chips>\"",
                             "signature: valid", "update-1.0-to-1.1.zip: ok, 6 entries"})
        EXPECT_TRUE(Contains(shown + check.out, line)) << line << "\n" << shown << check.out;

    WriteTree(install, v10);
    for (const auto& item : fs::directory_iterator(site))
        server.Serve(item.path().filename().string(), ReadWholeFile(item.path().generic_string()));
    WriteIni({{"URL1", server.Url("list.xml")}, {"ListKey", studio.PublicLine()}});
    EXPECT_EQ("", RunUpdate());
    for (const auto& [name, bytes] : v11) // saves/ reads as empty
        EXPECT_EQ(bytes, fs::is_directory(Installed(name)) ? "" : ReadWholeFile(Installed(name)));
    EXPECT_FALSE(fs::exists(Installed("data/old.txt")));

    // A package that is not the one listed is refused, as that launcher refuses it.
    WriteWholeFile(site + "/update-1.0-to-1.1.zip", "x");
    EXPECT_TRUE(Contains(Run({"check", site}).out, "REFUSED: the package does not match"));
}

// Refusals write nothing. A list a studio wrote by hand keeps every byte it had.
TEST_F(ReleaseTool, RefusesWhatTheLauncherCouldNotUseAndKeepsAHandWrittenList) {
    WriteTree(work / "1.0", {{"a.txt", "a"}, {"data", "a file"}});
    WriteTree(work / "1.1", {{"a.txt", "b"}});
    WriteTree(work / "dir", {{"data/x.txt", "x"}});
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {PackageArgs("none"), 1, "none is not a readable directory"},
        {PackageArgs("1.0", "1.1", "1.1"), 1, "same version"},
        {PackageArgs("1.0", "1.0"), 1, "nothing is new or changed"},
        {PackageArgs("1.0", "dir"), 1, "cannot replace one by the other"},
        {PackageArgs("1.0", "1.1", "1.0", "1.1/site"), 1, "lies inside a game directory"},
        {{"package", "1.0", "1.1", "--from", "1.0"}, 2, "--to is missing"},
        {{"check", site, "--to", "1.0"}, 2, "unknown option --to"},
        {{"check", work / "1.0"}, 1, "is not an update list"},
    };
    for (const auto& [args, code, message] : cases) {
        const ToolOutcome outcome = Run(args);
        EXPECT_EQ(code, outcome.code) << message;
        EXPECT_TRUE(Contains(outcome.err, message)) << outcome.err;
    }
    EXPECT_FALSE(fs::exists(site));

    const std::string listPath = site + "/list.xml", zip = site + "/update-1.0-to-1.1.zip";
    WriteTree(site, {{"list.xml", "<game></game><!-- </game> -->"}});
    EXPECT_TRUE(Contains(Run(PackageArgs()).err, "so that it reads back as written"));
    EXPECT_EQ("<game></game><!-- </game> -->", ReadWholeFile(listPath));
    const std::string head = "<?xml version=\"1.0\"?>\r\n<!-- studio -->\r\n<game><motd/>\r\n"
                             "<update><to>0.9</to><for>0.8</for><sha>ab</sha></update>\r\n";
    const std::string tail = "</game>\r\n<!-- end -->\r\n";
    WriteTree(site, {{"list.xml", head + tail}, {"update-1.0-to-1.1.zip", "old"}});
    EXPECT_TRUE(Contains(Run(PackageArgs()).err, "exists; --force replaces it"));
    EXPECT_EQ(head + tail + "old", ReadWholeFile(listPath) + ReadWholeFile(zip));
    // Forced twice: the package is built again, and the list gets one entry.
    EXPECT_EQ(0, Run(PackageArgs(), {"--force"}).code);
    EXPECT_EQ(0, Run(PackageArgs(), {"--force"}).code);
    const std::string checked = Run({"check", site}).out;
    EXPECT_TRUE(Contains(checked, "list.xml: 2 updates") && Contains(checked, "ok, 2 entries"))
        << checked;
    const std::string text = ReadWholeFile(listPath);
    EXPECT_EQ(head + tail, text.substr(0, head.size()) + text.substr(text.size() - tail.size()));
}

TEST(ReleaseNames, EntryNamesAndVersionsAreCheckedAsTheLauncherTakesThem) {
    const std::string longest(259, 'x'), tooLong(260, 'x'), version31(31, '9'), version32(32, '9');
    for (const std::string name : {"data/a.txt", "data/", "com10", longest.c_str()})
        EXPECT_EQ(nullptr, EntryNameProblem(name)) << name;
    for (const std::string name :
         {"a/. ./x", "nul.txt", "a/COM1", "a?b", "dir./x", "a\x01", "", tooLong.c_str()})
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
    const std::pair<std::string, const char*> cases[] = {
        {ZipBuilder().File("a", data).Directory("saves/").Bytes(), "0.zip: ok, 2 entries"},
        {ZipBuilder().File("../evil.txt", "x").Bytes(), "../evil.txt: the name could reach"},
        {ZipBuilder().DamagedFile("d.bin", data, 1000).Bytes(), "d.bin: its data are damaged"},
        {ZipBuilder().WrongCrcFile("c.bin", data).Bytes(), "c.bin: its checksum does not match"},
        {ZipBuilder().UnsupportedFile("m.bin", data, 97).Bytes(), "m.bin: compression method 97"},
        {ZipBuilder().ClaimedSizeFile("s.bin", 1000).Bytes(), "holds 0 bytes but claims 1000"},
        {"<html>404</html>", "6.zip: REFUSED: not a readable zip archive"},
        {cutDirectory, "directory is damaged after 1 entries (it announces 2)"},
    };
    std::vector<ListEntry> entries = {{"0.9", "1.0", "http://cdn/elsewhere.zip"}}; // 0.zip is first
    for (const auto& c : cases) {
        const std::string file = std::to_string(entries.size() - 1) + ".zip";
        WriteTree(site, {{file, c.first}});
        entries.push_back({"1.0", "1.1", "http://cdn/" + file});
    }
    WriteTree(site, {{"list.xml", ListXml(entries)}});
    const ToolOutcome outcome = Run({"check", site + "/list.xml"});
    EXPECT_EQ(1, outcome.code);
    for (const char* line : {"elsewhere.zip: not here", "applies 2: 0.9 -> 1.0 -> 1.1"})
        EXPECT_TRUE(Contains(outcome.out, line)) << outcome.out;
    for (const auto& c : cases)
        EXPECT_TRUE(Contains(outcome.out, c.second)) << c.second << "\n" << outcome.out;
}

} // namespace
