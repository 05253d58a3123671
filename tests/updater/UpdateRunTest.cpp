// Whole update runs against a real server into a real installation, with real archives and keys
// made by the real minisign.
#include "tests/updater/UpdaterFixture.h"

#include "tests/support/Minisign.h"
#include "tests/support/ZipBuilder.h"
#include "updater/DownloadProgress.h"
#include "updater/EntryPath.h"
#include "updater/RemovalRecord.h"
#include "updater/UpdateDocuments.h"

#include <cstdlib>
#include <filesystem>
#include <tuple>

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;
const char kExtract[] = "Error: Apply Update Error;";
const char kDownload[] = "Error: Update download error;";
const char kSpace[] = "Error: Not enought disk space;";

enum class Signature { Good, Legacy, OtherKey, ListChanged, CommentChanged, Missing };
// What the entry lists: the served package's hash and size, no hash, a size one byte too large,
// or the hash and size of another package.
enum class Listing { Hashed, NoHash, WrongSize, OtherPackage };
enum class Key { Studio, None, NotAKey }; // what "ListKey" holds

class UpdateRun : public UpdaterFixture {
protected:
    UpdateRun() {
        WriteIni({{"URL1", server.Url("list.xml")}});
        server.Serve("list.xml", ListXml({{"1.0", "1.1", server.Url("p.zip")}}));
    }

    // Serves bytes as the list's one package and runs an update from version 1.0; the boxes.
    std::string Apply(const std::string& bytes) {
        server.Serve("p.zip", bytes);
        fs::remove(Installed(Updater::kInstalledUpdates));
        return RunUpdate();
    }
};

// One pass in document order applies the entries for the installed version: equal without regard
// to case, never by order; no "for" only for none; "BaseVersion" only while "installed_updates"
// names none; the launcher's marker only once a package applied.
TEST_F(UpdateRun, AppliesTheEntriesThatContinueTheInstalledVersion) {
    for (const std::string version : {"1.1", "1.2", "rc", "empty"})
        server.Serve(version + ".zip", ZipBuilder().File(version, "").Bytes());
    auto entry = [this](const char* from, const std::string& to) {
        return ListEntry{from, to, server.Url(to + ".zip")};
    };
    const std::vector<ListEntry> reverse = {entry("1.1", "1.2"), entry("1.0", "1.1")};
    const std::vector<ListEntry> others = {entry("1.0", "wrong"), entry("1.0-RC1", "rc"),
                                           entry("-", "empty")};
    // The list, "installed_updates" before the run, "BaseVersion", whether the launcher's marker
    // is there, and the version and names installed after the run.
    const std::tuple<std::vector<ListEntry>, const char*, const char*, bool, std::string, Names>
        runs[] = {
            {reverse, nullptr, "1.0", false, "1.1", {"1.1"}},
            {others, nullptr, "1.0.0", true, "1.0.0", {"Launcher"}},
            {others, "1.0.0", "1.0-rc1", false, "1.0.0", {}},
            {others, nullptr, "1.0-rc1", true, "rc", {"Launcher", "rc"}},
            {others, nullptr, "", false, "empty", {"empty"}},
        };
    for (const auto& [list, recorded, base, marker, version, installed] : runs) {
        SCOPED_TRACE(version);
        ClearInstallation();
        if (recorded)
            WriteInstalledUpdates(Updater::kInstalledUpdates, recorded);
        if (marker)
            WriteWholeFile(Installed("Launcher"), "");
        server.Serve("list.xml", ListXml(list));
        WriteIni({{"URL1", server.Url("list.xml")}, {"BaseVersion", base}});
        EXPECT_EQ("", RunUpdate());
        EXPECT_EQ(Finished, updater.state.load());
        EXPECT_EQ(version, InstalledVersion());
        EXPECT_EQ(installed, InstalledNames());
        EXPECT_EQ(marker && version != base, updater.newLauncher.load());
    }
}

// Separators of either kind, leading or doubled, lead through directories; files a package
// records as removed go, and nothing of the launcher's own is left.
TEST_F(UpdateRun, ExtractsEveryEntryWhereItsNameSays) {
    const std::string longest = std::string(199, 'd') + "/" + std::string(59, 'n');
    WriteWholeFile(Installed("empty.txt"), "old contents");
    fs::create_directories(Installed("data/old"));
    for (const char* name : {"gone.txt", "data/gone.txt", "kept.txt"})
        WriteWholeFile(Installed(name), "old");
    const std::string record =
        RemovalRecordText({"gone.txt", "data/gone.txt", "data/old", "missing.txt", "empty.txt"});
    const std::string bytes = ZipBuilder()
                                  .Directory("data/")
                                  .File("data\\sub\\b.txt", "b")
                                  .File("/lead//doubled///c.txt", "c")
                                  .File("empty.txt", "")
                                  .File(longest, "x")
                                  .File(kRemovalRecordName, record)
                                  .Bytes();
    EXPECT_EQ("", Apply(bytes));
    EXPECT_EQ(fs::path(install), fs::current_path());
    EXPECT_EQ(
        (Names{"data", "data/old", "data/sub", "data/sub/b.txt", longest.substr(0, 199), longest,
               "empty.txt", "kept.txt", "lead", "lead/doubled", "lead/doubled/c.txt"}),
        InstalledNames());
    EXPECT_EQ("b c x ", ReadWholeFile(Installed("data/sub/b.txt")) + " " +
                            ReadWholeFile(Installed("lead/doubled/c.txt")) + " " +
                            ReadWholeFile(Installed(longest)) + " " +
                            ReadWholeFile(Installed("empty.txt")));
    // The counters the status line shows.
    const float extracted = float(3 + record.size());
    EXPECT_EQ((std::vector<float>{extracted, extracted, float(bytes.size()), float(bytes.size())}),
              (std::vector<float>{updater.extractedBytes, updater.extractTotalBytes, downloadNow,
                                  downloadTotal}));
    ExpectTempFilesRemoved();
    // An archive without entries is a package that changes nothing.
    EXPECT_EQ("", Apply(ZipBuilder().Bytes()));
}

// Archives the reader would not really extract, hostile or overlong names (also among the removed
// files), damaged data, a directory where a file goes or a file where a directory goes, and too
// little space (exactly enough is too few; the total counts in 64 bits) fail the package; the
// installation keeps the old version whole.
TEST_F(UpdateRun, DamagedArchivesHostileNamesAndTooLittleSpaceFailThePackage) {
    const std::string text = CompressibleText(50000, 9);
    const char kHeader[] = "PK\x01\x02";
    std::string encrypted = ZipBuilder().File("a.txt", text).Bytes();
    encrypted[6] = encrypted[encrypted.find(kHeader) + 8] = 1;
    std::string cut = ZipBuilder().File("a.txt", "a").File("b.txt", "b").Bytes();
    cut[cut.find(kHeader, cut.find(kHeader) + 1)] = 'X';
    auto named = [](const std::string& name) {
        return ZipBuilder().File("1", "1").File(name, "x").File("2", "").Bytes();
    };
    const ZipBuilder first = ZipBuilder().File("a.txt", "a");
    const std::string spaced = ZipBuilder().File("a", RandomBytes(5000, 5)).Bytes();
    const std::string huge = ZipBuilder()
                                 .ClaimedSizeFile("huge1.bin", 3000000000u)
                                 .ClaimedSizeFile("huge2.bin", 3000000000u)
                                 .Bytes();
    auto removing = [](const std::string& name) {
        return ZipBuilder().File("1", "1").File(kRemovalRecordName, RemovalRecordText({name}));
    };
    struct Case {
        std::string bytes;
        Names left; // what was there: a directory when it ends in '/', else a file
        const char* box = kExtract;
        uint64_t tempFree = FakeServices::kSystemAnswer;
        uint64_t installFree = FakeServices::kSystemAnswer;
    };
    const Case cases[] = {
        {ZipBuilder(first).UnsupportedFile("b.txt", text, 12).Bytes(), {}},
        {encrypted, {}},
        {cut, {}},
        {"<html><body><h1>Not Found</h1></body></html>\n", {}},
        {ZipBuilder(first).ClaimedSizeFile("b.txt", 0xFFFFFFFFu).Bytes(), {}},
        {named("../outside.txt"), {}},
        {named("..\\outside.txt"), {}},
        {named("data/.. /outside.txt"), {}},
        {named("C:outside.txt"), {}},
        {named(std::string(200, 'd') + "/" + std::string(59, 'n')), {}},
        {ZipBuilder(first).ClaimedSizeFile("b.txt", 5000).File("c", "c").Bytes(), {}},
        {ZipBuilder(first).WrongCrcFile("b.txt", "checked").File("c", "c").Bytes(), {}},
        {ZipBuilder(first).DamagedFile("b.txt", text, 20000).File("c", "c").Bytes(), {}},
        {named("installed_updates.staging/0"), {}},
        {named("/INSTALLED_UPDATES.STAGING. /journal"), {}},
        {named("tab\tname"), {}},
        {ZipBuilder(first).File("busy", "b").Bytes(), {"busy/"}},
        {ZipBuilder(first).File("data/b.txt", "b").Bytes(), {"data"}},
        {ZipBuilder(first).Directory("data/").Bytes(), {"data"}},
        {removing("../outside.txt").Bytes(), {}},
        {removing("a:b").Bytes(), {}},
        {spaced, {}, kSpace, FakeServices::kSystemAnswer, spaced.size()},
        {spaced, {"a"}, "", FakeServices::kSystemAnswer, spaced.size() + 1},
        {huge, {}, kSpace, uint64_t(1) << 40, 5000000000u},
    };
    for (const auto& package : cases) {
        SCOPED_TRACE(&package - cases);
        ClearInstallation();
        for (const std::string& name : package.left)
            if (name.back() == '/')
                fs::create_directory(Installed(name));
            else
                WriteWholeFile(Installed(name), "old");
        services.tempFree = package.tempFree;
        services.installFree = package.installFree;
        EXPECT_EQ(package.box, Apply(package.bytes));
        EXPECT_EQ(*package.box ? "1.0" : "1.1", InstalledVersion());
        Names left;
        for (std::string name : package.left)
            left.push_back(name.back() == '/' ? name.substr(0, name.size() - 1) : name);
        EXPECT_EQ(left, InstalledNames());
        // Nothing but the installation beside it either.
        EXPECT_EQ(1, std::distance(fs::directory_iterator(root.Path()), fs::directory_iterator()));
    }
    ExpectTempFilesRemoved();
}

// An entry whose staged copy meets a full disk (the space test said there was room) fails the
// package, and the installation keeps its old files; so does a full disk under the package
// itself (the space box) and under the list's temporary copy (the run ends).
TEST_F(UpdateRun, AFullDiskFailsThePackage) {
    const std::string bytes = ZipBuilder()
                                  .File("before.txt", "b")
                                  .File("full.bin", CompressibleText(200000, 4))
                                  .File("after.txt", "a")
                                  .Bytes();
    const std::string small = root / "small";
    fs::create_directory(small);
    if (std::system(("mount -t tmpfs -o size=64k tmpfs " + small + " 2>&1").c_str()) == 0) {
        struct Unmount {
            std::string path, back;
            ~Unmount() {
                fs::current_path(back);
                EXPECT_EQ(0, std::system(("umount " + path).c_str()));
            }
        } unmount{small, install};
        fs::copy_file(Installed("launcher.ini"), small + "/launcher.ini");
        WriteWholeFile(small + "/before.txt", "old");
        fs::current_path(small);
        services.installFree = uint64_t(1) << 40;
        // The entries fill the disk as the package arrives; whether the package's own file or
        // the extraction meets the full disk first is a matter of timing.
        server.Serve("p.zip", bytes);
        const std::string boxes = RunUpdate();
        EXPECT_TRUE(boxes == kSpace || boxes == kExtract) << boxes;
        EXPECT_EQ("old", ReadWholeFile(small + "/before.txt"));
        EXPECT_EQ(3, std::distance(fs::directory_iterator(small), fs::directory_iterator()));
        server.Serve("p.zip", ZipBuilder().File("big.bin", RandomBytes(100000, 5), true).Bytes());
        EXPECT_EQ(kSpace, RunUpdate());
        EXPECT_EQ("old", ReadWholeFile(small + "/before.txt"));
        EXPECT_EQ(3, std::distance(fs::directory_iterator(small), fs::directory_iterator()));
        services.installFree = FakeServices::kSystemAnswer;
    }
    std::error_code error;
    fs::create_symlink("/dev/full", root / "full", error);
    if (error || !fs::exists(root / "full"))
        GTEST_SKIP() << "no /dev/full";
    services.tempFree = uint64_t(1) << 40;
    ClearInstallation();
    services.fullTemp = int(services.temps.size());
    EXPECT_EQ(kExtract, Apply(bytes));
    EXPECT_EQ("", InstalledVersion());
    EXPECT_TRUE(InstalledNames().empty());
}

// A journal left by a stopped update is completed before the list is fetched, and its version
// taken; the launcher's leftovers go. One that cannot be completed stops the run before anything
// is fetched and stays for the next start.
TEST_F(UpdateRun, AStoppedUpdateIsCompletedBeforeTheListIsFetched) {
    const std::string staging = Installed(kStagingFolder);
    for (const bool blocked : {false, true}) {
        SCOPED_TRACE(blocked);
        ClearInstallation();
        fs::create_directory(staging);
        WriteWholeFile(staging + "/0", "new");
        WriteWholeFile(staging + "/journal", "launcher journal 1\nto 1.1\nm 0 data/a.txt\nend\n");
        WriteWholeFile(Installed("installed_updates.new"), "<game>");
        if (blocked)
            fs::create_directories(Installed("data/a.txt/in the way"));
        EXPECT_EQ(blocked ? kExtract : "", RunUpdate());
        EXPECT_EQ(blocked ? Aborted : Finished, updater.state.load());
        EXPECT_EQ(blocked ? "" : "1.1", InstalledVersion());
        EXPECT_EQ(!blocked, fs::is_regular_file(Installed("data/a.txt")));
        if (!blocked) {
            EXPECT_EQ("new", ReadWholeFile(Installed("data/a.txt")));
        }
        EXPECT_EQ(blocked, fs::exists(staging + "/journal"));
        EXPECT_FALSE(fs::exists(Installed("installed_updates.new")));
    }
    // The list was fetched once, by the run that completed the journal.
    EXPECT_EQ(1, server.Hits("list.xml"));
}

// A version that cannot be recorded after the moves (something in the way of its record) is an
// error, not a success: the journal stays, and the next start records the version as it
// completes it.
TEST_F(UpdateRun, AVersionThatCannotBeRecordedKeepsTheJournal) {
    WriteIni({{"URL1", server.Url("list.xml")}, {"BaseVersion", "1.0"}});
    fs::create_directories(Installed("installed_updates/in the way"));
    server.Serve("p.zip", ZipBuilder().File("a.txt", "1.1").Bytes());
    EXPECT_EQ(kExtract, RunUpdate());
    EXPECT_EQ("1.1", ReadWholeFile(Installed("a.txt")));
    EXPECT_TRUE(fs::exists(Installed(kStagingFolder) + "/journal"));

    fs::remove_all(Installed(Updater::kInstalledUpdates));
    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_FALSE(fs::exists(Installed(kStagingFolder)));
}

// Servers that refuse, stay silent, stall or send more than is held in memory are passed over,
// leaving nothing in front of the list; an error page counts as the list. Packages go straight to
// disk. Without rights no server is asked.
TEST_F(UpdateRun, ListsThatDoNotArriveWholeArePassedOver) {
    DeadAddress refusing(false), silent(true);
    updater.connectTimeoutSeconds = 1;
    updater.stallSeconds = 1;
    const std::string list = ListXml({{"1.0", "1.1", server.Url("p.zip")}});
    updater.receiveLimit = uint32_t(list.size());
    server.ServeStalling("stalled.xml", list, list.size() / 2);
    server.Serve("long.xml", list + " ");
    WriteIni({{"URL1", refusing.Url("list.xml")},
              {"URL2", silent.Url("list.xml")},
              {"URL3", server.Url("stalled.xml")},
              {"URL4", server.Url("long.xml")},
              {"URL5", server.Url("list.xml")}});
    services.admin = false;
    EXPECT_EQ("Error: Not admin;", RunUpdate());
    EXPECT_EQ(0, server.Hits("stalled.xml"));
    EXPECT_EQ("", InstalledVersion());
    services.admin = true;
    const std::string big = RandomBytes(100000, 8);
    EXPECT_EQ("", Apply(ZipBuilder().File("big.bin", big, true).Bytes()));
    EXPECT_TRUE(big == ReadWholeFile(Installed("big.bin")));

    ClearInstallation();
    WriteIni({{"URL1", server.Url("missing.xml")}, {"URL2", server.Url("list.xml")}});
    EXPECT_EQ("Error: xml parse error;", RunUpdate());
    EXPECT_EQ(Aborted, updater.state.load());
    EXPECT_EQ("", InstalledVersion());
    for (const char* path : {"stalled.xml", "long.xml", "missing.xml", "list.xml"})
        EXPECT_EQ(1, server.Hits(path)) << path;
    ExpectTempFilesRemoved();
}

// Each row guards its own check: the key, the algorithms, the signature over the list and over
// the trusted comment, the listed hash and size with and without a key.
TEST_F(UpdateRun, OnlyWhatTheStudioSignedAndHashedIsApplied) {
    const MinisignKey studio, other;
    const std::string package = ZipBuilder().File("versions/1.1.txt", "v1.1").Bytes();
    const std::string changed = ZipBuilder().File("versions/1.1.txt", "v1.X").Bytes();
    // A name, what "ListKey" holds, what the entry lists, the signature, and the version recorded:
    // "1.1" when the package applied, "1.0" when it failed, "" when the list did.
    const std::tuple<const char*, Key, Listing, Signature, std::string> cases[] = {
        {"good list", Key::Studio, Listing::Hashed, Signature::Good, "1.1"},
        {"legacy algorithm", Key::Studio, Listing::Hashed, Signature::Legacy, "1.1"},
        {"list changed after signing", Key::Studio, Listing::Hashed, Signature::ListChanged, ""},
        {"signed by another key", Key::Studio, Listing::Hashed, Signature::OtherKey, ""},
        {"no .minisig", Key::Studio, Listing::Hashed, Signature::Missing, ""},
        {"trusted comment changed", Key::Studio, Listing::Hashed, Signature::CommentChanged, ""},
        {"ListKey not a key", Key::NotAKey, Listing::Hashed, Signature::Good, ""},
        {"package changed after listing", Key::Studio, Listing::OtherPackage, Signature::Good,
         "1.0"},
        {"entry without sha256", Key::Studio, Listing::NoHash, Signature::Good, "1.0"},
        {"no key, size wrong", Key::None, Listing::WrongSize, Signature::Missing, "1.0"},
    };
    int index = 0;
    for (const auto& [name, key, listing, signing, installed] : cases) {
        SCOPED_TRACE(name);
        const std::string base = "c" + std::to_string(++index);
        const std::string& listed = listing == Listing::OtherPackage ? changed : package;
        const std::string hashed = "<sha256>" + Sha256Hex(listed) + "</sha256><size>" +
                                   std::to_string(listed.size() + (listing == Listing::WrongSize)) +
                                   "</size>";
        const std::string list = ListXml(
            {{"1.0", "1.1", server.Url(base + ".zip"), listing == Listing::NoHash ? "" : hashed}});
        const MinisignKey& signer = signing == Signature::OtherKey ? other : studio;
        std::string signature =
            signing == Signature::Missing ? "" : signer.Sign(list, signing == Signature::Legacy);
        if (signing == Signature::CommentChanged)
            signature.replace(signature.find("comment: list"), 13, "comment: lisT");
        std::string served = list;
        if (signing == Signature::ListChanged)
            served.back() = ' '; // its last byte
        server.Serve(base + ".xml", served);
        if (!signature.empty())
            server.Serve(base + ".xml.minisig", signature);
        server.Serve(base + ".zip", package);
        WriteIni({{"URL1", server.Url(base + ".xml")},
                  {"ListKey", key == Key::Studio    ? studio.PublicLine()
                              : key == Key::NotAKey ? "RWQ" + studio.PublicLine()
                                                    : ""}});
        ClearInstallation();

        EXPECT_EQ(installed == "1.1"   ? ""
                  : installed == "1.0" ? kDownload
                                       : "Error: Update list signature is not valid;",
                  RunUpdate());
        EXPECT_EQ(installed, InstalledVersion());
        EXPECT_EQ(installed == "1.1", fs::exists(Installed("versions/1.1.txt")));
        // Fetched only from a list that passed, and only when its entry can be checked.
        const bool fetched =
            !installed.empty() && !(key == Key::Studio && listing == Listing::NoHash);
        EXPECT_EQ(fetched, server.Hits(base + ".zip") == 1);
    }
    ExpectTempFilesRemoved();
}

} // namespace
