// The in-memory target of a transfer: what it holds, how it grows, and when it refuses.
#include "launcher/DownloadBuffer.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// A refused piece (past the limit, once cancelled, or of a size that does not fit) makes libcurl
// fail the transfer; what was received stays untouched.
TEST(DownloadBuffer, TakesPiecesUpToItsLimitUntilCancelled) {
    std::atomic<bool> cancel{false};
    DownloadBuffer buffer;
    ASSERT_TRUE(DownloadBufferCreate(&buffer, &cancel, 10));
    char piece[] = "0123456789ab";
    const struct {
        size_t size, count, taken;
    } appends[] = {{1, 6, 6}, {1, 5, 0}, {SIZE_MAX / 2, 4, 0}, {4, 1, 4}, {1, 1, 0}};
    for (const auto& append : appends)
        EXPECT_EQ(append.taken, AppendToBuffer(piece, append.size, append.count, &buffer));
    EXPECT_STREQ("0123450123", buffer.data);
    DownloadBufferClear(&buffer);
    cancel = true;
    EXPECT_EQ(0u, AppendToBuffer(piece, 1, 1, &buffer));
    EXPECT_STREQ("", buffer.data);
    DownloadBufferRelease(&buffer);
}

// Byte by byte: a block grown by each piece alone would be moved at every append.
TEST(DownloadBuffer, GrowsGeometrically) {
    DownloadBuffer buffer;
    ASSERT_TRUE(DownloadBufferCreate(&buffer, nullptr));
    char piece[] = "x";
    std::set<uint32_t> capacities;
    for (int i = 0; i < 10000; ++i) {
        ASSERT_EQ(1u, AppendToBuffer(piece, 1, 1, &buffer));
        capacities.insert(buffer.capacity);
    }
    EXPECT_EQ(std::string(10000, 'x'), buffer.data);
    EXPECT_LT(capacities.size(), 30u);
    DownloadBufferRelease(&buffer);
}

} // namespace
