// Delta packages from gamerelease, applied by the launcher's own code from a real server: the
// chain a player walks, an installation whose file the delta does not fit, deltas that lie.
#include "tools/release/ReleaseTool.h"

#include "tests/support/Minisign.h"
#include "tests/support/ZipBuilder.h"
#include "tests/tools/ToolRun.h"
#include "tests/updater/UpdaterFixture.h"
#include "updater/DeltaEntry.h"
#include "updater/EntryPath.h"

#include <minizip/unzip.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr size_t kPackSize = 3 << 20;
const char kExtract[] = "Error: Apply Update Error;";

// A pack as a new version changes it: regions rewritten, bytes inserted and dropped.
std::string Edited(std::string pack, uint32_t seed) {
    for (size_t at = 100000 + seed * 7000; at + 70000 < pack.size(); at += 900000)
        pack.replace(at, 4096, RandomBytes(4096, seed + uint32_t(at)));
    pack.insert(pack.size() / 3, RandomBytes(3000, seed + 1));
    pack.erase(pack.size() / 2, 2000);
    return pack;
}

// The data of the entry called name in the archive at path; empty when it has none.
std::string EntryData(const std::string& path, const std::string& name) {
    unzFile archive = unzOpen64(path.c_str());
    std::string data;
    if (archive && unzLocateFile(archive, name.c_str(), 1) == UNZ_OK &&
        unzOpenCurrentFile(archive) == UNZ_OK) {
        char block[65536];
        int count;
        while ((count = unzReadCurrentFile(archive, block, sizeof block)) > 0)
            data.append(block, size_t(count));
        unzCloseCurrentFile(archive);
    }
    if (archive)
        unzClose(archive);
    return data;
}

class DeltaRelease : public UpdaterFixture {
protected:
    DeltaRelease() {
        const std::string pack = RandomBytes(kPackSize, 11);
        versions = {{{"data/pack.bin", pack}, {"game.exe", "MZ 1.0"}, {"old.txt", "old"}},
                    {{"data/pack.bin", Edited(pack, 20)}, {"game.exe", "MZ 1.1"}},
                    {{"data/pack.bin", Edited(Edited(pack, 20), 30)}, {"game.exe", "MZ 1.2"}}};
        for (size_t i = 0; i < versions.size(); ++i)
            WriteTree(work / names[i], versions[i]);
    }

    ToolOutcome Release(const char* from, const char* to) {
        const auto entry = [](int argc, char** argv, FILE* out, FILE* err) {
            return ReleaseToolMain(argc, argv, out, err, nullptr);
        };
        return RunTool(entry,
                       {"gamerelease", "package", work / from, work / to, "--from", from, "--to",
                        to, "--url", server.Url(""), "--out", site},
                       work.Path());
    }

    void ServeSite() {
        for (const auto& item : fs::directory_iterator(site))
            server.Serve(item.path().filename().string(),
                         ReadWholeFile(item.path().generic_string()));
    }

    void ExpectInstalled(const Tree& tree) {
        for (const auto& [name, bytes] : tree)
            EXPECT_TRUE(ReadWholeFile(Installed(name)) == bytes) << name;
        EXPECT_FALSE(fs::exists(Installed(kStagingFolder)));
    }

    const char* names[3] = {"1.0", "1.1", "1.2"};
    std::vector<Tree> versions;
    TempDir work;
    const std::string site = work / "site";
};

// 1.0 -> 1.1 -> 1.2 in one run under a "ListKey": only the small delta packages travel, and the
// installation ends as the studio's 1.2, the file 1.2 dropped removed.
TEST_F(DeltaRelease, ChainAppliesThroughDeltasUnderAListKey) {
    ASSERT_EQ(0, Release("1.0", "1.1").code);
    ASSERT_EQ(0, Release("1.1", "1.2").code);
    for (const char* step : {"update-1.0-to-1.1", "update-1.1-to-1.2"}) {
        const uint64_t full = fs::file_size(site + "/" + step + ".zip");
        const uint64_t delta = fs::file_size(site + "/" + step + "-delta.zip");
        EXPECT_LT(delta * 20, full) << step;
    }
    const MinisignKey studio;
    WriteWholeFile(site + "/list.xml.minisig", studio.Sign(ReadWholeFile(site + "/list.xml")));
    ServeSite();
    WriteTree(install, versions[0]);
    WriteIni({{"URL1", server.Url("list.xml")}, {"ListKey", studio.PublicLine()}});

    EXPECT_EQ("", RunUpdate());
    EXPECT_EQ("1.2", InstalledVersion());
    ExpectInstalled(versions[2]);
    EXPECT_FALSE(fs::exists(Installed("old.txt")));
    for (const char* step : {"update-1.0-to-1.1", "update-1.1-to-1.2"}) {
        EXPECT_EQ(1, server.Hits(std::string(step) + "-delta.zip")) << step;
        EXPECT_EQ(0, server.Hits(std::string(step) + ".zip")) << step;
    }
    ExpectTempFilesRemoved();
}

// The space a delta package needs is that of the files it makes, not of its deltas.
TEST_F(DeltaRelease, FilesADeltaMakesMustFitOnTheDisk) {
    ASSERT_EQ(0, Release("1.0", "1.1").code);
    ServeSite();
    WriteTree(install, versions[0]);
    WriteIni({{"URL1", server.Url("list.xml")}});
    services.installFree = kPackSize / 2;
    EXPECT_EQ("Error: Not enought disk space;", RunUpdate());
    EXPECT_EQ("1.0", InstalledVersion());
    ExpectInstalled(versions[0]);
}

// Under a "ListKey" a delta package is taken only with its hash in the signed list.
TEST_F(DeltaRelease, UnderAListKeyADeltaWithoutItsHashIsRefused) {
    ASSERT_EQ(0, Release("1.0", "1.1").code);
    ServeSite();
    std::string list = ReadWholeFile(site + "/list.xml");
    const size_t hash = list.find("      <deltasha256>");
    ASSERT_NE(std::string::npos, hash);
    list.erase(hash, list.find('\n', hash) + 1 - hash);
    const MinisignKey studio;
    server.Serve("unhashed.xml", list);
    server.Serve("unhashed.xml.minisig", studio.Sign(list));
    WriteTree(install, versions[0]);
    WriteIni({{"URL1", server.Url("unhashed.xml")}, {"ListKey", studio.PublicLine()}});
    EXPECT_EQ("Error: Update download error;", RunUpdate());
    EXPECT_EQ("1.0", InstalledVersion());
    ExpectInstalled(versions[0]);
    EXPECT_EQ(0, server.Hits("update-1.0-to-1.1-delta.zip") + server.Hits("update-1.0-to-1.1.zip"));
}

// A file the delta was not made from (modded, damaged, missing) takes the full package of the
// step without a box; with no full package to take, the step fails and nothing changes.
TEST_F(DeltaRelease, InstallationTheDeltaDoesNotFitTakesTheFullPackage) {
    ASSERT_EQ(0, Release("1.0", "1.1").code);
    ServeSite();
    const std::string modded = RandomBytes(kPackSize, 99);
    const std::vector<std::pair<std::string, Tree>> cases = {
        {"modded", {{"data/pack.bin", modded}}},
        {"cut short", {{"data/pack.bin", versions[0]["data/pack.bin"].substr(0, 1000)}}},
        {"missing", {}}};
    for (const auto& [what, changed] : cases) {
        ClearInstallation();
        WriteTree(install, versions[0]);
        if (changed.empty())
            fs::remove(Installed("data/pack.bin"));
        WriteTree(install, changed);
        WriteIni({{"URL1", server.Url("list.xml")}});
        EXPECT_EQ("", RunUpdate()) << what;
        EXPECT_EQ("1.1", InstalledVersion()) << what;
        ExpectInstalled(versions[1]);
    }
    EXPECT_EQ(3, server.Hits("update-1.0-to-1.1.zip"));

    // The delta package listed as the step's only package.
    const std::string only = ListXml({{"1.0", "1.1", server.Url("update-1.0-to-1.1-delta.zip")}});
    server.Serve("only.xml", only);
    ClearInstallation();
    WriteTree(install, versions[0]);
    WriteTree(install, {{"data/pack.bin", modded}});
    WriteIni({{"URL1", server.Url("only.xml")}});
    EXPECT_EQ(kExtract, RunUpdate());
    EXPECT_EQ("1.0", InstalledVersion());
    EXPECT_EQ(modded, ReadWholeFile(Installed("data/pack.bin")));
    EXPECT_EQ("MZ 1.0", ReadWholeFile(Installed("game.exe")));
    EXPECT_TRUE(fs::exists(Installed("old.txt")));
    EXPECT_FALSE(fs::exists(Installed(kStagingFolder)));
}

// A delta that lies is refused with the extraction box and nothing changed, also where the
// full package is listed: the installed file was the right one, so the full package would not
// help. Each lie is a package of its own, listed with the step's full package.
TEST_F(DeltaRelease, DeltaThatLiesIsRefusedWithNothingChanged) {
    ASSERT_EQ(0, Release("1.0", "1.1").code);
    ServeSite();
    const std::string name = std::string(kDeltaEntryPrefix) + "data/pack.bin";
    const std::string good = EntryData(site + "/update-1.0-to-1.1-delta.zip", name);
    ASSERT_GT(good.size(), kDeltaHeaderSize);
    std::string wrongResult = good, wrongSize = good, cut = good.substr(0, good.size() - 100);
    wrongResult[8 + kDeltaHashSize] ^= 1;
    wrongSize[8 + 2 * kDeltaHashSize] ^= 1;
    std::string overrun = good.substr(0, kDeltaHeaderSize) + "rs\x02\x36";
    overrun += std::string("\x4d\x7f\xff\xff\xff\x01\x00", 7); // copy from far past the end
    overrun.push_back('\0');
    const std::vector<std::pair<std::string, ZipBuilder>> lies = {
        {"result hash", ZipBuilder().File(name, wrongResult)},
        {"result size", ZipBuilder().File(name, wrongSize)},
        {"cut short", ZipBuilder().File(name, cut)},
        {"trailing bytes", ZipBuilder().File(name, good + "more")},
        {"copies past the basis", ZipBuilder().File(name, overrun)},
        {"header only", ZipBuilder().File(name, good.substr(0, kDeltaHeaderSize))},
        {"no header", ZipBuilder().File(name, "LDELTA")},
        {"leaves the installation",
         ZipBuilder().File(std::string(kDeltaEntryPrefix) + "../pack.bin", good)},
        {"names a directory", ZipBuilder().File(name + "/", good)},
        {"the game's file after it", ZipBuilder().File(name, cut).File("game.exe", "MZ 1.1")}};
    const std::string full = server.Url("update-1.0-to-1.1.zip");
    for (const auto& [what, zip] : lies) {
        server.Serve("lie.zip", zip.Bytes());
        server.Serve("lie.xml", ListXml({{"1.0", "1.1", full,
                                          "<delta>" + server.Url("lie.zip") + "</delta>"}}));
        ClearInstallation();
        WriteTree(install, versions[0]);
        WriteIni({{"URL1", server.Url("lie.xml")}});
        EXPECT_EQ(kExtract, RunUpdate()) << what;
        EXPECT_EQ("1.0", InstalledVersion()) << what;
        ExpectInstalled(versions[0]);
    }
    EXPECT_EQ(0, server.Hits("update-1.0-to-1.1.zip"));
}

// check patches the deltas of the first update onto the old installation given: the tree the
// release was made from passes, another one fails, naming the file.
TEST_F(DeltaRelease, CheckPatchesTheDeltasOntoTheOldDirectory) {
    ASSERT_EQ(0, Release("1.0", "1.1").code);
    const auto check = [this](const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"gamerelease", "check", site};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto entry = [](int argc, char** argv, FILE* out, FILE* err) {
            return ReleaseToolMain(argc, argv, out, err, nullptr);
        };
        return RunTool(entry, args, work.Path());
    };
    const ToolOutcome plain = check({}), fits = check({"--old", work / "1.0"});
    const ToolOutcome other = check({"--old", work / "1.1"});
    EXPECT_EQ(0, plain.code) << plain.out;
    EXPECT_EQ(0, fits.code) << fits.out;
    EXPECT_TRUE(Contains(fits.out, "update-1.0-to-1.1-delta.zip: ok, 3 entries")) << fits.out;
    EXPECT_EQ(1, other.code);
    EXPECT_TRUE(Contains(other.out, "data/pack.bin: it was not made from")) << other.out;
    // A run from a version nothing starts from patches nothing onto the directory.
    EXPECT_EQ(0, check({"--from", "0.9", "--old", work / "1.1"}).code);
    EXPECT_NE(0, check({"--old", work / "none"}).code);
}

// Today's launchers refuse a name in their staging folder, so a delta never lands in a game as
// if it were the game's file; the launcher takes the file's name from behind the prefix.
TEST(DeltaEntryName, NamesTheFileBehindAPrefixEarlierLaunchersRefuse) {
    const std::string name = std::string(kDeltaEntryPrefix) + "data/pack.bin";
    EXPECT_FALSE(IsSafeEntryName(name.c_str()));
    EXPECT_STREQ("data/pack.bin", DeltaTargetName(name.c_str()));
    EXPECT_EQ(nullptr, DeltaTargetName("data/pack.bin"));
    EXPECT_EQ(nullptr, DeltaTargetName("installed_updates.staging/deltas/pack.bin"));
    DeltaHeader header{{1, 2}, {3, 4}, 0x0102030405060708ull}, read{};
    uint8_t bytes[kDeltaHeaderSize];
    DeltaHeaderWrite(header, bytes);
    ASSERT_TRUE(DeltaHeaderRead(bytes, &read));
    EXPECT_EQ(0, memcmp(&header, &read, sizeof header));
    bytes[0] ^= 1;
    EXPECT_FALSE(DeltaHeaderRead(bytes, &read));
}

} // namespace
