// Package transfers that break, stall or meet a changed file, against the real server: the
// package is resumed where it broke when the server allows, started again when it does not,
// and never assembled from two files.
#include "tests/updater/UpdaterFixture.h"

#include "tests/support/ZipBuilder.h"
#include "updater/DownloadProgress.h"
#include "updater/EntryPath.h"
#include "updater/TransferResume.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

namespace {

const char kDownload[] = "Error: Update download error;";
constexpr size_t kMegabyte = 1 << 20;

HttpAnswer Answer(const std::string& body, size_t cut = SIZE_MAX, bool ranges = true,
                  const std::string& etag = "\"v1\"") {
    HttpAnswer answer(body);
    answer.cut = cut;
    answer.ranges = ranges;
    answer.etag = etag;
    return answer;
}

class TransferResume : public UpdaterFixture {
protected:
    TransferResume() {
        WriteIni({{"URL1", server.Url("list.xml")}});
        updater.retryPauseMilliseconds = 10;
        updater.stallSeconds = 1;
    }

    // Lists package (its hash and size) for from and runs an update from 1.0 in a new
    // installation, or the one there when kept; the boxes.
    std::string Run(const std::string& package, bool kept = false, const char* from = "1.0") {
        server.Serve("list.xml", ListXml({{from, "1.1", server.Url("p.zip"),
                                           "<sha256>" + Sha256Hex(package) + "</sha256><size>" +
                                               std::to_string(package.size()) + "</size>"}}));
        if (!kept)
            ClearInstallation();
        fs::remove(Installed(Updater::kInstalledUpdates));
        return RunUpdate();
    }
};

// Each row: what the server answers in turn, whether the package applies, the requests it
// takes and the body bytes the server sends in all (0: not checked). The listed package is
// always the last answer's body.
TEST_F(TransferResume, BrokenTransfersGoOnWhereTheyBrokeOrStartAgainFromZero) {
    const std::string data = RandomBytes(3 * kMegabyte, 1), other = RandomBytes(3 * kMegabyte, 2);
    const std::string package = ZipBuilder().File("big.bin", data, true).Bytes();
    const std::string changed = ZipBuilder().File("big.bin", other, true).Bytes();
    const uint64_t size = package.size();
    const size_t cut = 700 * 1024;
    HttpAnswer stalling = Answer(package, kMegabyte);
    stalling.stall = true;
    HttpAnswer dated = Answer(package, kMegabyte, true, "");
    dated.lastModified = "Mon, 07 Dec 2026 10:00:00 GMT";
    HttpAnswer datedRest = dated;
    datedRest.cut = SIZE_MAX;
    HttpAnswer ignoresIfRange = Answer(changed, SIZE_MAX, true, "\"v2\"");
    ignoresIfRange.ifRange = false;
    const HttpAnswer unavailable("<html><body>Service Unavailable</body></html>", 503);
    HttpAnswer otherRange = Answer(package);
    otherRange.rangeFrom = 0;
    // The same validator on a file shorter than the bytes kept: nothing to send but a 416.
    const HttpAnswer shorter = Answer(package.substr(0, kMegabyte / 2));
    struct Case {
        const char* name;
        std::vector<HttpAnswer> answers;
        bool applies;
        int hits;
        uint64_t bytesSent;
    };
    const Case cases[] = {
        {"cut every 700 KB", {Answer(package, cut)}, true, int((size + cut - 1) / cut), size},
        {"stalled, then resumed", {stalling, Answer(package)}, true, 2, size},
        {"resumed on Last-Modified", {dated, datedRest}, true, 2, size},
        {"no range support",
         {Answer(package, kMegabyte, false), Answer(package, SIZE_MAX, false)},
         true,
         2,
         size + kMegabyte},
        {"no validator to resume on",
         {Answer(package, kMegabyte, true, ""), Answer(package)},
         true,
         2,
         size + kMegabyte},
        {"weak validator",
         {Answer(package, kMegabyte, true, "W/\"v1\""), Answer(package)},
         true,
         2,
         size + kMegabyte},
        {"changed between two requests",
         {Answer(package, kMegabyte), Answer(changed, SIZE_MAX, true, "\"v2\"")},
         true,
         2,
         kMegabyte + changed.size()},
        {"changed, If-Range ignored", {Answer(package, kMegabyte), ignoresIfRange}, true, 3, 0},
        {"a 206 from another byte than asked",
         {Answer(package, kMegabyte), otherRange, Answer(package)},
         true,
         3,
         0},
        {"a 416 for the rest",
         {Answer(package, kMegabyte), shorter, Answer(package)},
         true,
         3,
         kMegabyte + size},
        {"an error page in place of the rest",
         {Answer(package, kMegabyte), unavailable, Answer(package)},
         true,
         3,
         0},
        {"cut before the first byte every time",
         {Answer(package, 0)},
         false,
         kResumeRetries + 1,
         0},
        {"never more than a megabyte without ranges",
         {Answer(package, kMegabyte, false)},
         false,
         kResumeRetries + 2,
         0},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const std::string& listed = row.answers.back().body;
        server.ServeInTurn("p.zip", row.answers);
        const int hitsBefore = server.Hits("p.zip");
        const uint64_t sentBefore = server.BytesSent("p.zip");
        EXPECT_EQ(row.applies ? "" : kDownload, Run(listed));
        EXPECT_EQ(row.applies ? "1.1" : "1.0", InstalledVersion());
        EXPECT_EQ(row.hits, server.Hits("p.zip") - hitsBefore);
        const uint64_t sent = server.BytesSent("p.zip") - sentBefore;
        if (row.bytesSent) {
            EXPECT_EQ(row.bytesSent, sent);
        }
        if (row.applies) {
            EXPECT_TRUE((listed == changed ? other : data) == ReadWholeFile(Installed("big.bin")));
            EXPECT_EQ(float(listed.size()), downloadNow.load());
            EXPECT_EQ(float(listed.size()), downloadTotal.load());
        } else {
            EXPECT_FALSE(fs::exists(Installed("big.bin")));
        }
    }
    ExpectTempFilesRemoved();
}

// A transfer that broke keeps its bytes and what identifies them in the staging folder. The next
// start goes on from there when the list names the same package and the server has the same
// file, and starts from zero otherwise; a start without the list keeps them, one whose list
// leads elsewhere drops them. Each row: what happens between the two runs, and the bytes the
// second sends (the listed package always applies in it unless none is listed).
TEST_F(TransferResume, ATransferThatBrokeGoesOnAtTheNextStart) {
    const std::string data = RandomBytes(3 * kMegabyte, 4), other = RandomBytes(kMegabyte, 5);
    const std::string package = ZipBuilder().File("big.bin", data, true).Bytes();
    const std::string changed = ZipBuilder().File("big.bin", other, true).Bytes();
    const std::string staging = Installed(kStagingFolder);
    const std::string kept = staging + "/package", identity = staging + "/package.id";
    enum Between {
        Nothing,
        Offline,
        AllKept,
        TooMuchKept,
        ListChanged,
        FileChanged,
        IdentityCut,
        IdentityLonger,
        Linked,
        NoEntry
    };
    const std::tuple<const char*, Between, uint64_t> cases[] = {
        {"nothing", Nothing, package.size() - kMegabyte},
        {"a start without the list", Offline, package.size() - kMegabyte},
        {"all of it kept, as a stop while it was extracted leaves it", AllKept, 0},
        {"more kept than listed", TooMuchKept, package.size()},
        {"the list names another package", ListChanged, changed.size()},
        {"the server's file changed", FileChanged, package.size()},
        {"an identity cut short, as a stop while it was written leaves it", IdentityCut,
         package.size()},
        {"an identity with more after its end, then a start without the list", IdentityLonger,
         package.size()},
        {"the bytes are a link", Linked, package.size()},
        {"the list leads elsewhere", NoEntry, 0},
    };
    const std::string outside = root / "outside.bin";
    for (const auto& [name, between, bytesSent] : cases) {
        SCOPED_TRACE(name);
        server.ServeInTurn("p.zip", {Answer(package, kMegabyte), HttpAnswer("busy", 503)});
        EXPECT_EQ(kDownload, Run(package));
        EXPECT_EQ("1.0", InstalledVersion());
        ASSERT_EQ(kMegabyte, fs::file_size(kept));
        // What was staged from the bytes is dropped with the transfer; they alone stay.
        std::set<std::string> left;
        for (const fs::directory_entry& item : fs::directory_iterator(staging))
            left.insert(item.path().filename().string());
        EXPECT_EQ((std::set<std::string>{"package", "package.id"}), left);

        std::string listed = package;
        HttpAnswer served = Answer(package);
        const char* from = "1.0";
        std::error_code error;
        switch (between) {
        case Nothing:
            break;
        case Offline:
            WriteIni({{"URL1", DeadAddress(false).Url("list.xml")}});
            EXPECT_EQ("Error: Server is not avaible;", RunUpdate());
            WriteIni({{"URL1", server.Url("list.xml")}});
            break;
        case AllKept:
            WriteWholeFile(kept, package);
            break;
        case TooMuchKept:
            WriteWholeFile(kept, package + "x");
            break;
        case ListChanged:
            listed = changed;
            served = Answer(changed, SIZE_MAX, true, "\"v2\"");
            break;
        case FileChanged:
            served.etag = "\"v1b\"";
            break;
        case IdentityCut:
            WriteWholeFile(identity, ReadWholeFile(identity).substr(0, 60));
            break;
        case IdentityLonger:
            WriteWholeFile(identity, ReadWholeFile(identity) + "x\n");
            WriteIni({{"URL1", DeadAddress(false).Url("list.xml")}});
            EXPECT_EQ("Error: Server is not avaible;", RunUpdate());
            WriteIni({{"URL1", server.Url("list.xml")}});
            EXPECT_FALSE(fs::exists(staging));
            break;
        case Linked:
            WriteWholeFile(outside, package.substr(0, kMegabyte));
            fs::remove(kept);
            fs::create_symlink(outside, kept, error);
            if (error)
                continue;
            break;
        case NoEntry:
            from = "0.9";
            break;
        }
        server.Serve("p.zip", served);
        const uint64_t sentBefore = server.BytesSent("p.zip");
        EXPECT_EQ("", Run(listed, true, from));
        EXPECT_EQ(bytesSent, server.BytesSent("p.zip") - sentBefore);
        EXPECT_EQ(between == NoEntry ? "1.0" : "1.1", InstalledVersion());
        if (between != NoEntry) {
            EXPECT_TRUE((listed == changed ? other : data) == ReadWholeFile(Installed("big.bin")));
        }
        EXPECT_FALSE(fs::exists(staging));
        if (between == Linked) {
            EXPECT_TRUE(package.substr(0, kMegabyte) == ReadWholeFile(outside));
        }
    }
}

// Closing the window during the pause before a retry ends the update at once, with no box and
// no further request.
TEST_F(TransferResume, APauseBeforeARetryEndsAtOnceWhenTheUpdateIsStopped) {
    const std::string package =
        ZipBuilder().File("big.bin", RandomBytes(2 * kMegabyte, 3), true).Bytes();
    server.Serve("list.xml", ListXml({{"1.0", "1.1", server.Url("p.zip")}}));
    server.ServeCutShort("p.zip", package, kMegabyte);
    auto stopped = std::make_unique<Updater>();
    stopped->services = &services;
    stopped->retryPauseMilliseconds = 60000;
    memcpy(stopped->iniPath, updater.iniPath, sizeof updater.iniPath);
    memcpy(stopped->launcherMarkerPath, updater.launcherMarkerPath,
           sizeof updater.launcherMarkerPath);
    stopped->Start(ThreadWorker::PriorityNormal);
    for (int wait = 0; wait < 1000 && server.Hits("p.zip") == 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    stopped.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(1, server.Hits("p.zip"));
    EXPECT_EQ("", services.boxes);
    EXPECT_FALSE(fs::exists(Installed("big.bin")));
    ExpectTempFilesRemoved();
}

} // namespace
