#include "core/strings/BufferPacking.h"

#include <gtest/gtest.h>

namespace {

TEST(BufferPacking, StoresMostSignificantByteFirst) {
    uint8_t buffer[64] = {};
    uint32_t offset = 1;
    BufWrite32(buffer, &offset, uint32_t(0x01020304));
    EXPECT_EQ(5u, offset);
    EXPECT_EQ(0, memcmp(buffer, "\0\x01\x02\x03\x04", 5));

    BufWrite32(buffer, &offset, int32_t(-2));
    BufWrite32(buffer, &offset, 1.5f);
    const float vector[3] = {1.0f, -2.0f, 0.25f};
    BufWrite32x3(buffer, &offset, vector);
    const uint32_t quad[4] = {1, 2, 3, 0xFFFFFFFFu};
    BufWrite32x4(buffer, &offset, quad);
    const uint32_t reserved = BufReserve(&offset, 3);
    BufWriteText(buffer, &offset, "pak", 3);
    EXPECT_EQ(1u + 4 * 10 + 3 + 3, offset);

    const uint8_t* cursor = buffer + 1;
    uint32_t u;
    int32_t i;
    float f;
    float readVector[3];
    uint32_t readQuad[4];
    BufRead32(&cursor, &u);
    BufRead32(&cursor, &i);
    BufRead32(&cursor, &f);
    BufRead32x3(&cursor, readVector);
    BufRead32x4(&cursor, readQuad);
    EXPECT_EQ(0x01020304u, u);
    EXPECT_EQ(-2, i);
    EXPECT_EQ(1.5f, f);
    EXPECT_EQ(-2.0f, readVector[1]);
    EXPECT_EQ(0.25f, readVector[2]);
    EXPECT_EQ(0xFFFFFFFFu, readQuad[3]);
    EXPECT_EQ(buffer + reserved, cursor);
    EXPECT_EQ(0, memcmp(buffer + reserved + 3, "pak", 3));
    ByteSwap32(&u);
    EXPECT_EQ(0x04030201u, u);
}

} // namespace
