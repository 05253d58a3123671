// Packages extracted as they arrive, against the real server: entries are staged while the
// transfer goes on and reach the installation only once the whole package is in and checked; a
// central directory that says something else than the entries streamed is refused; archives
// that cannot be followed from the front apply from their file, zip64 ones included.
#include "tests/updater/UpdaterFixture.h"

#include "tests/support/ZipBuilder.h"
#include "updater/EntryPath.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char kExtract[] = "Error: Apply Update Error;";
constexpr size_t kMegabyte = 1 << 20;
constexpr size_t kEndRecordSize = 22;

uint32_t Read32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[at + size_t(i)]);
    return value;
}

void Write32(std::string* bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i)
        (*bytes)[at + i] = char(value >> (8 * i));
}

// Where the central directory of an archive without zip64 records and comment starts.
size_t DirectoryAt(const std::string& archive) {
    return Read32(archive, archive.size() - kEndRecordSize + 16);
}

class StreamedPackage : public UpdaterFixture {
protected:
    StreamedPackage() {
        WriteIni({{"URL1", server.Url("list.xml")}});
        updater.retryPauseMilliseconds = 10;
        updater.stallSeconds = 1;
    }

    // Lists package with its hash and size, as the release tool does.
    void List(const std::string& package) {
        server.Serve("list.xml", ListXml({{"1.0", "1.1", server.Url("p.zip"),
                                           "<sha256>" + Sha256Hex(package) + "</sha256><size>" +
                                               std::to_string(package.size()) + "</size>"}}));
    }

    // Serves and lists package, and runs an update from 1.0 with "keep.txt" installed; the
    // boxes.
    std::string Run(const std::string& package) {
        server.Serve("p.zip", package);
        List(package);
        ClearInstallation();
        WriteWholeFile(Installed("keep.txt"), "old");
        fs::remove(Installed(Updater::kInstalledUpdates));
        return RunUpdate();
    }

    std::string Staging() const { return Installed(kStagingFolder); }
};

} // namespace

// The transfer stalls with a megabyte to go, in the middle of a deflated entry: the entries
// before it are staged by then and the installation is untouched; the rest arrives with a range
// request, the inflater goes on where it was, and the update applies.
TEST_F(StreamedPackage, EntriesAreStagedAsTheyArriveAndInstalledOnceThePackageIsWhole) {
    const std::string first = CompressibleText(300000, 1), big = RandomBytes(2 * kMegabyte, 2);
    const std::string last = RandomBytes(2 * kMegabyte, 3) + CompressibleText(kMegabyte, 4);
    const std::string package = ZipBuilder()
                                    .File("first.txt", first)
                                    .File("data/big.bin", big, true)
                                    .File("last.txt", last)
                                    .Bytes();
    HttpAnswer stalling(package);
    stalling.cut = package.size() - kMegabyte;
    stalling.stall = true;
    stalling.ranges = true;
    stalling.etag = "\"v1\"";
    HttpAnswer rest = stalling;
    rest.cut = SIZE_MAX;
    rest.stall = false;
    server.ServeInTurn("p.zip", {stalling, rest});
    List(package);
    ClearInstallation();

    services.boxes.clear();
    updater.Start(ThreadWorker::PriorityNormal);
    bool stagedBeforeTheEnd = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!stagedBeforeTheEnd && updater.state.load() != Finished &&
           std::chrono::steady_clock::now() < deadline) {
        std::error_code error;
        if (fs::file_size(Staging() + "/0", error) == first.size() &&
            fs::file_size(Staging() + "/1", error) == big.size() &&
            ReadWholeFile(Staging() + "/0") == first) {
            stagedBeforeTheEnd = true;
            EXPECT_FALSE(fs::exists(Installed("first.txt")));
            EXPECT_EQ(1, server.Hits("p.zip"));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    updater.Stop();
    EXPECT_TRUE(stagedBeforeTheEnd);
    EXPECT_EQ("", services.boxes);
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_EQ(2, server.Hits("p.zip"));
    EXPECT_EQ(package.size(), server.BytesSent("p.zip"));
    EXPECT_TRUE(first == ReadWholeFile(Installed("first.txt")));
    EXPECT_TRUE(big == ReadWholeFile(Installed("data/big.bin")));
    EXPECT_TRUE(last == ReadWholeFile(Installed("last.txt")));
    EXPECT_FALSE(fs::exists(Staging()));
}

// Each row changes what the directory or its end record says of entries streamed as they are;
// the listed hash is the changed archive's, as a studio's own broken tool would list it. The
// file reader would have applied some of them under other names or sizes.
TEST_F(StreamedPackage, ADirectoryThatContradictsTheStreamedEntriesIsRefused) {
    const std::string second = CompressibleText(5000, 5);
    const std::string base = ZipBuilder().File("a.txt", "alpha").File("b.txt", second).Bytes();
    const size_t directory = DirectoryAt(base), secondRecord = directory + 46 + 5;
    const size_t end = base.size() - kEndRecordSize;
    struct Row {
        const char* name;
        std::function<void(std::string*)> change;
    };
    const Row rows[] = {
        {"a name the entries do not have", [&](std::string* a) { (*a)[directory + 46] = 'c'; }},
        {"another size",
         [&](std::string* a) { Write32(a, secondRecord + 24, Read32(*a, secondRecord + 24) + 1); }},
        {"another checksum",
         [&](std::string* a) { Write32(a, secondRecord + 16, Read32(*a, secondRecord + 16) ^ 1); }},
        {"another offset",
         [&](std::string* a) { Write32(a, secondRecord + 42, Read32(*a, secondRecord + 42) + 1); }},
        {"another method", [&](std::string* a) { (*a)[directory + 10] = 0; }},
        {"one entry fewer", [&](std::string* a) { (*a)[end + 8] = (*a)[end + 10] = 1; }},
        {"a directory elsewhere",
         [&](std::string* a) { Write32(a, end + 16, Read32(*a, end + 16) - 1); }},
    };
    EXPECT_EQ("", Run(base));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string archive = base;
        row.change(&archive);
        ASSERT_NE(base, archive);
        EXPECT_EQ(kExtract, Run(archive));
        EXPECT_EQ("1.0", InstalledVersion());
        EXPECT_EQ(std::vector<std::string>{"keep.txt"}, InstalledNames());
        EXPECT_EQ("old", ReadWholeFile(Installed("keep.txt")));
        EXPECT_FALSE(fs::exists(Staging()));
    }
}

// Archives the stream cannot follow from the front are extracted from the package's file, as a
// zip reader reads them: through their directory.
TEST_F(StreamedPackage, ArchivesThatCannotBeStreamedApplyFromTheirFile) {
    const std::string text = CompressibleText(40000, 6);
    // Two entries of one name: the directory lists the second first, so the first wins.
    std::string reordered =
        ZipBuilder().File("same.txt", "first").File("same.txt", "later").Bytes();
    const size_t directory = DirectoryAt(reordered), record = 46 + 8;
    reordered = reordered.substr(0, directory) + reordered.substr(directory + record, record) +
                reordered.substr(directory, record) + reordered.substr(directory + 2 * record);
    ASSERT_NE(0u, Read32(reordered, directory + 42));
    EXPECT_EQ("", Run(reordered));
    EXPECT_EQ("first", ReadWholeFile(Installed("same.txt")));

    EXPECT_EQ("", Run(ZipBuilder().File("a.txt", "alpha").DescribedFile("b.txt", text).Bytes()));
    EXPECT_EQ("alpha", ReadWholeFile(Installed("a.txt")));
    EXPECT_TRUE(text == ReadWholeFile(Installed("b.txt")));
    EXPECT_EQ("1.1", InstalledVersion());
}

// Zip64 sizes, offsets and end records, which this reader takes on every target.
TEST_F(StreamedPackage, Zip64ArchivesApply) {
    const std::string text = CompressibleText(100000, 7);
    EXPECT_EQ("", Run(ZipBuilder().Zip64File("data/text.txt", text).Zip64File("b", "b").Bytes()));
    EXPECT_EQ("1.1", InstalledVersion());
    EXPECT_TRUE(text == ReadWholeFile(Installed("data/text.txt")));
    EXPECT_EQ("b", ReadWholeFile(Installed("b")));
}
