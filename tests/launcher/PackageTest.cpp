// One package per run, from a real server into a real installation: what lands where, which
// archives and transfers fail the package with which box, and what a failure leaves behind.
#include "tests/launcher/UpdaterFixture.h"

#include "tests/support/ZipBuilder.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;
const char kExtract[] = "Error: extract;";
const char kDownload[] = "Error: download;";
const char kSpace[] = "Error: space;";

class Package : public UpdaterFixture {
protected:
    Package() {
        WriteIni(Ini(server.Url("list.xml")));
        server.Serve("list.xml", ListXml({{"1.0", "1.1", server.Url("p.zip")}}));
    }

    static std::map<std::string, std::string> Ini(const std::string& url) {
        return {{"URL1", url},
                {"Err_DownloadUpdateError", "download"},
                {"Err_Needdiskspace", "space"},
                {"Err_extractingerror", "extract"}};
    }

    // Serves bytes as the one package of the list and runs an update from version 1.0.
    std::string Apply(const std::string& bytes) {
        server.Serve("p.zip", bytes);
        return Run();
    }

    // Runs an update from version 1.0; the boxes shown.
    std::string Run() {
        fs::remove(Installed(Updater::kInstalledUpdates));
        return RunUpdate();
    }

    // A link to a device on which every write fails for want of space.
    static bool LinkToFullDevice(const std::string& path) {
        std::error_code error;
        fs::create_symlink("/dev/full", path, error);
        return !error && fs::exists(path);
    }
};

TEST_F(Package, ExtractsEveryEntryWhereItsNameSays) {
    const std::string stored = RandomBytes(100000, 1);
    const std::string packed = CompressibleText(300000, 2);
    fs::create_directory(Installed("busy"));
    WriteWholeFile(Installed("empty.txt"), "old contents");
    EXPECT_EQ("", Apply(ZipBuilder()
                            .Directory("data/")
                            .File("data/a.txt", "a")
                            .File("data\\sub\\b.txt", "b")
                            .File("/lead//doubled///c.txt", "c")
                            .File("empty.txt", "")
                            .File("stored.bin", stored, true)
                            .File("packed.txt", packed)
                            // Cannot be opened, like the running launcher's executable.
                            .File("busy", "busy")
                            .Bytes()));
    EXPECT_EQ(Finished, updater.state.load());
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_EQ(fs::path(install), fs::current_path());
    EXPECT_EQ((Names{"busy", "data", "data/a.txt", "data/sub", "data/sub/b.txt", "empty.txt",
                     "lead", "lead/doubled", "lead/doubled/c.txt", "packed.txt", "stored.bin"}),
              InstalledNames());
    EXPECT_EQ("b", ReadWholeFile(Installed("data/sub/b.txt")));
    EXPECT_EQ("c", ReadWholeFile(Installed("lead/doubled/c.txt")));
    EXPECT_EQ("", ReadWholeFile(Installed("empty.txt")));
    EXPECT_TRUE(stored == ReadWholeFile(Installed("stored.bin")));
    EXPECT_TRUE(packed == ReadWholeFile(Installed("packed.txt")));
    const float total = float(1 + 1 + 1 + stored.size() + packed.size() + 4);
    EXPECT_EQ(total, updater.extractTotalBytes.load());
    EXPECT_EQ(total - 4, updater.extractedBytes.load());
    ExpectTempFilesRemoved();

    // An archive without entries is a package that changes nothing.
    EXPECT_EQ("", Apply(ZipBuilder().Bytes()));
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_EQ(11u, InstalledNames().size());
}

// Entries the reader would not really decode, data that end before their entry's size or do not
// match its checksum, a directory that breaks off midway and an error page fail the package. What
// the first pass can tell fails before anything is written.
TEST_F(Package, EntriesThatAreNotReallyExtractedFailThePackage) {
    const std::string text = CompressibleText(50000, 9);
    const char kHeader[] = "PK\x01\x02";
    std::string encrypted = ZipBuilder().File("a.txt", text).Bytes();
    encrypted[6] = encrypted[encrypted.find(kHeader) + 8] = 1;
    std::string cut = ZipBuilder().File("a.txt", "a").File("b.txt", "b").Bytes();
    cut[cut.find(kHeader, cut.find(kHeader) + 1)] = 'X';
    const std::pair<std::string, bool> cases[] = {
        {ZipBuilder().File("a.txt", "a").UnsupportedFile("b.bin", text, 12).Bytes(), true},
        {ZipBuilder().UnsupportedFile("b.bin", text, 14).File("a.txt", "a").Bytes(), true},
        {encrypted, true},
        {cut, true},
        {"<html><body><h1>Not Found</h1></body></html>\n", true},
        {ZipBuilder().File("a.txt", "a").ClaimedSizeFile("b.bin", 0xFFFFFFFFu).Bytes(), true},
        {ZipBuilder().File("a.txt", "a").ShortFile("b.txt", text, 20000).Bytes(), false},
        {ZipBuilder().ClaimedSizeFile("b.bin", 5000).Bytes(), false},
        {ZipBuilder().WrongCrcFile("crc.txt", "checked").Bytes(), false},
    };
    for (const auto& package : cases) {
        EXPECT_EQ(kExtract, Apply(package.first));
        EXPECT_EQ("1.0", InstalledVersion());
        if (package.second) {
            EXPECT_TRUE(InstalledNames().empty());
        }
    }
    ExpectTempFilesRemoved();
}

// Names that could reach outside the installation, or that no name buffer takes, fail the
// package before its first entry is written.
TEST_F(Package, HostileNamesFailBeforeAnythingIsWritten) {
    const std::string longName = std::string(200, 'd') + "/" + std::string(59, 'n');
    for (const std::string& name :
         Names{"../outside.txt", "data/../../outside.txt", "..\\outside.txt",
               "data/.. /outside.txt", "C:/outside.txt", "C:outside.txt", longName}) {
        EXPECT_EQ(kExtract,
                  Apply(ZipBuilder().File("1", "1").File(name, "x").File("2", "").Bytes()))
            << name;
        EXPECT_EQ("1.0", InstalledVersion()) << name;
        EXPECT_TRUE(InstalledNames().empty()) << name;
        // Nothing but the installation beside it either.
        EXPECT_EQ(1, std::distance(fs::directory_iterator(root.Path()), fs::directory_iterator()))
            << name;
    }
    ExpectTempFilesRemoved();
    // One character shorter fits.
    EXPECT_EQ("", Apply(ZipBuilder().File(longName.substr(1), "x").Bytes()));
    EXPECT_EQ("x", ReadWholeFile(Installed(longName.substr(1))));
}

TEST_F(Package, DamagedDataFailsThePackageAndKeepsWhatCameBefore) {
    const std::string third = CompressibleText(200000, 3);
    EXPECT_EQ(kExtract, Apply(ZipBuilder()
                                  .File("one.txt", "1")
                                  .File("two.txt", "2")
                                  .DamagedFile("three.txt", third, 100000)
                                  .File("four.txt", "4")
                                  .Bytes()));
    EXPECT_EQ(Finished, updater.state.load());
    EXPECT_EQ("1.0", InstalledVersion());
    EXPECT_EQ((Names{"one.txt", "three.txt", "two.txt"}), InstalledNames());
    EXPECT_EQ("2", ReadWholeFile(Installed("two.txt")));
    EXPECT_LT(ReadWholeFile(Installed("three.txt")).size(), third.size());
    ExpectTempFilesRemoved();
}

TEST_F(Package, AFullDiskFailsTheWriteThatMeetsIt) {
    if (!LinkToFullDevice(Installed("full.bin")))
        GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(kExtract, Apply(ZipBuilder()
                                  .File("before.txt", "b")
                                  .File("full.bin", CompressibleText(200000, 4))
                                  .File("after.txt", "a")
                                  .Bytes()));
    EXPECT_EQ("1.0", InstalledVersion());
    EXPECT_FALSE(fs::exists(Installed("after.txt")));
    fs::remove(Installed("full.bin"));
    fs::remove(Installed("before.txt"));

    // The package's temporary copy on a disk that fills during the transfer.
    const std::string fullTemp = root / "temp.bin";
    ASSERT_TRUE(LinkToFullDevice(fullTemp));
    services.tempFree = uint64_t(1) << 40;
    services.nextTempFiles = {"", fullTemp};
    EXPECT_EQ(kSpace, Run());
    EXPECT_EQ("1.0", InstalledVersion());
    EXPECT_FALSE(fs::exists(Installed("before.txt")));

    // The list's temporary copy on a full disk ends the run before the update loop.
    ASSERT_TRUE(LinkToFullDevice(fullTemp));
    services.nextTempFiles = {fullTemp};
    EXPECT_EQ(kExtract, Run());
    EXPECT_EQ(Aborted, updater.state.load());
    EXPECT_FALSE(fs::exists(Installed(Updater::kInstalledUpdates)));
}

// Exactly as many bytes free as needed is too few, one more is enough; the uncompressed total
// is counted in 64 bits.
TEST_F(Package, FreeSpaceIsCheckedForTheCopyAndForTheContents) {
    const std::string bytes = ZipBuilder()
                                  .File("a.txt", RandomBytes(5000, 5))
                                  .File("b.txt", RandomBytes(7000, 6))
                                  .Bytes();
    services.tempFree = bytes.size();
    EXPECT_EQ(kSpace, Apply(bytes));
    services.tempFree = bytes.size() + 1;
    services.installFree = 12000;
    EXPECT_EQ(kSpace, Run());
    EXPECT_TRUE(InstalledNames().empty());
    EXPECT_EQ("1.0", InstalledVersion());
    services.installFree = 12001;
    EXPECT_EQ("", Run());
    EXPECT_EQ("1.1", InstalledVersion());
    ExpectTempFilesRemoved();

    // Two entries of 3 000 000 000 bytes need more than 5 000 000 000 (their sum wraps in 32
    // bits to less than that).
    fs::remove(Installed("a.txt"));
    fs::remove(Installed("b.txt"));
    services.tempFree = uint64_t(1) << 40;
    services.installFree = 5000000000u;
    EXPECT_EQ(kSpace, Apply(ZipBuilder()
                                .ClaimedSizeFile("huge1.bin", 3000000000u)
                                .ClaimedSizeFile("huge2.bin", 3000000000u)
                                .Bytes()));
    EXPECT_TRUE(InstalledNames().empty());
}

// Transfers that do not complete fail the package; a list that does not arrive whole from one
// server is taken from the next, with nothing of the failed attempt in front of it, and the
// servers after it are not asked.
TEST_F(Package, TransfersThatDoNotCompleteFail) {
    DeadAddress refusing(false), silent(true);
    updater.connectTimeoutSeconds = 1;
    updater.stallSeconds = 1;
    const std::string list = ListXml({{"1.0", "1.1", server.Url("p.zip")}});
    const std::string bytes = ZipBuilder().File("a.txt", CompressibleText(50000, 7)).Bytes();
    server.ServeStalling("stalled.xml", list, list.size() / 2);
    server.ServeCutShort("short.xml", list, list.size() / 2);
    auto ini = Ini(refusing.Url("list.xml"));
    ini["URL2"] = silent.Url("list.xml");
    ini["URL3"] = server.Url("stalled.xml");
    ini["URL4"] = server.Url("short.xml");
    ini["URL5"] = server.Url("list.xml");
    WriteIni(ini);
    server.ServeStalling("p.zip", bytes, bytes.size() / 2);
    EXPECT_EQ(kDownload, Run());
    EXPECT_EQ(Finished, updater.state.load());
    EXPECT_EQ(1, server.Hits("stalled.xml"));
    EXPECT_EQ(1, server.Hits("short.xml"));
    EXPECT_EQ(1, server.Hits("list.xml"));
    EXPECT_EQ("1.0", InstalledVersion());

    WriteIni(Ini(server.Url("list.xml")));
    server.ServeCutShort("p.zip", bytes, bytes.size() - 1);
    EXPECT_EQ(kDownload, Run());
    EXPECT_EQ("1.0", InstalledVersion());
    EXPECT_TRUE(InstalledNames().empty());
    EXPECT_EQ(2, server.Hits("p.zip"));

    server.Serve("list.xml", ListXml({{"1.0", "1.1", refusing.Url("p.zip")}}));
    EXPECT_EQ(kDownload, Run());
    EXPECT_EQ("1.0", InstalledVersion());
    ExpectTempFilesRemoved();
}

// Only the list is held in memory, and only up to a bound: a longer one fails as if memory
// ran out and is taken from the next server. A package goes straight to disk: one many times
// that bound applies in full.
TEST_F(Package, OnlyTheListIsHeldInMemory) {
    server.Serve("large.xml", ListXml(std::vector<ListEntry>(1000, {"0.1", "0.2", "x"})));
    auto ini = Ini(server.Url("large.xml"));
    ini["URL2"] = server.Url("list.xml");
    WriteIni(ini);
    updater.receiveLimit = 64 * 1024;
    const std::string big = RandomBytes(24 * updater.receiveLimit, 8);
    EXPECT_EQ("", Apply(ZipBuilder().File("big.bin", big, true).Bytes()));
    EXPECT_EQ(1, server.Hits("large.xml"));
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_TRUE(big == ReadWholeFile(Installed("big.bin")));
    ExpectTempFilesRemoved();
}

} // namespace
