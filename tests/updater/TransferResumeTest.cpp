// Package transfers that break, stall or meet a changed file, against the real server: the
// package is resumed where it broke when the server allows, started again when it does not,
// and never assembled from two files.
#include "tests/updater/UpdaterFixture.h"

#include "tests/support/ZipBuilder.h"
#include "updater/DownloadProgress.h"
#include "updater/TransferResume.h"

#include <sodium.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char kDownload[] = "Error: Update download error;";
constexpr size_t kMegabyte = 1 << 20;

std::string Sha256Hex(const std::string& bytes) {
    uint8_t hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(hash, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    char hex[2 * sizeof hash + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    return hex;
}

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

    // Lists package (its hash and size) for 1.0 and runs an update from 1.0; the boxes.
    std::string Run(const std::string& package) {
        server.Serve("list.xml", ListXml({{"1.0", "1.1", server.Url("p.zip"),
                                           "<sha256>" + Sha256Hex(package) + "</sha256><size>" +
                                               std::to_string(package.size()) + "</size>"}}));
        ClearInstallation();
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
            EXPECT_TRUE((listed == changed ? other : data) ==
                        ReadWholeFile(Installed("big.bin")));
            EXPECT_EQ(float(listed.size()), downloadNow.load());
            EXPECT_EQ(float(listed.size()), downloadTotal.load());
        } else {
            EXPECT_FALSE(fs::exists(Installed("big.bin")));
        }
    }
    ExpectTempFilesRemoved();
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
