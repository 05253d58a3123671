// The in-memory target of a transfer: what it holds, how it grows, and when it refuses.
#include "launcher/DownloadBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

// Byte by byte to 100 000 bytes: a block that grew by each piece alone would be moved 100 000
// times.
TEST(DownloadBuffer, AppendsBehindWhatItHoldsKeepsTheTerminatorAndGrowsGeometrically) {
    DownloadBuffer buffer;
    ASSERT_TRUE(DownloadBufferCreate(&buffer, nullptr));
    EXPECT_STREQ("", buffer.data);
    char pieces[] = "abcdefg";
    EXPECT_EQ(3u, AppendToBuffer(pieces, 1, 3, &buffer));
    EXPECT_EQ(4u, AppendToBuffer(pieces + 3, 2, 2, &buffer));
    EXPECT_EQ(7u, buffer.size);
    EXPECT_EQ(0, memcmp("abcdefg", buffer.data, 8));
    DownloadBufferClear(&buffer);
    EXPECT_EQ(0u, buffer.size);
    EXPECT_STREQ("", buffer.data);

    std::set<uint32_t> capacities;
    for (int i = 0; i < 100000; ++i) {
        ASSERT_EQ(1u, AppendToBuffer(pieces, 1, 1, &buffer));
        capacities.insert(buffer.capacity);
        ASSERT_GT(buffer.capacity, buffer.size);
    }
    EXPECT_EQ(100000u, buffer.size);
    EXPECT_EQ('\0', buffer.data[buffer.size]);
    EXPECT_LT(capacities.size(), 40u);
    DownloadBufferRelease(&buffer);
    EXPECT_EQ(nullptr, buffer.data);
}

// A refused piece makes libcurl fail the transfer; what was received stays untouched.
TEST(DownloadBuffer, RefusesPiecesPastItsLimitOrOnceCancelled) {
    std::atomic<bool> cancel{false};
    DownloadBuffer buffer;
    ASSERT_TRUE(DownloadBufferCreate(&buffer, &cancel, 10));
    char piece[] = "0123456789ab";
    EXPECT_EQ(6u, AppendToBuffer(piece, 1, 6, &buffer));
    EXPECT_EQ(0u, AppendToBuffer(piece, 1, 5, &buffer));
    EXPECT_EQ(4u, AppendToBuffer(piece, 4, 1, &buffer));
    EXPECT_EQ(0u, AppendToBuffer(piece, 1, 1, &buffer));
    EXPECT_STREQ("0123450123", buffer.data);
    DownloadBufferClear(&buffer);
    cancel = true;
    EXPECT_EQ(0u, AppendToBuffer(piece, 1, 1, &buffer));
    EXPECT_EQ(0u, buffer.size);
    DownloadBufferRelease(&buffer);

    // Item counts whose product does not fit are refused, not wrapped.
    ASSERT_TRUE(DownloadBufferCreate(&buffer, nullptr));
    EXPECT_EQ(0u, AppendToBuffer(piece, SIZE_MAX / 2, 4, &buffer));
    EXPECT_EQ(0u, buffer.size);
    DownloadBufferRelease(&buffer);
}

} // namespace
