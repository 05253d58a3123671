#include "core/strings/BufferPacking.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BufferPacking, StoresMostSignificantByteFirstAndReadsBack) {
    uint8_t buffer[64] = {};
    uint32_t offset = 1;
    BufWrite32(buffer, &offset, uint32_t(0x01020304));
    BufWrite32(buffer, &offset, int32_t(-2));
    const float vector[3] = {1.5f, -2.0f, 0.25f};
    BufWrite32x3(buffer, &offset, vector);
    const uint32_t quad[4] = {1, 2, 3, 0xFFFFFFFFu};
    BufWrite32x4(buffer, &offset, quad);
    const uint32_t reserved = BufReserve(&offset, 3);
    BufWriteText(buffer, &offset, "pak", 3);
    EXPECT_EQ(std::string("\0\1\2\3\4\xFF\xFF\xFF\xFE\x3F\xC0\0\0\xC0\0\0\0\x3E\x80\0\0"
                          "\0\0\0\1\0\0\0\2\0\0\0\3\xFF\xFF\xFF\xFF\0\0\0pak",
                          43),
              std::string(reinterpret_cast<char*>(buffer), offset));

    const uint8_t* cursor = buffer + 1;
    uint32_t u;
    int32_t i;
    float readVector[3];
    uint32_t readQuad[4];
    BufRead32(&cursor, &u);
    BufRead32(&cursor, &i);
    BufRead32x3(&cursor, readVector);
    BufRead32x4(&cursor, readQuad);
    EXPECT_EQ(buffer + reserved, cursor);
    ByteSwap32(&u);
    EXPECT_EQ(0x04030201u, u);
    EXPECT_EQ(-2, i);
    EXPECT_EQ(std::make_pair(0.25f, 0xFFFFFFFFu), std::make_pair(readVector[2], readQuad[3]));
}

} // namespace
