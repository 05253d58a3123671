#include "core/strings/BufferPacking.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BufferPacking, StoresMostSignificantByteFirst) {
    uint8_t buffer[64] = {};
    uint32_t offset = 1;
    uint32_t swapped = 0x04030201u;
    ByteSwap32(&swapped);
    BufWrite32(buffer, &offset, swapped);
    BufWrite32(buffer, &offset, int32_t(-2));
    const float vector[3] = {1.5f, -2.0f, 0.25f};
    BufWrite32x3(buffer, &offset, vector);
    const uint32_t quad[4] = {1, 2, 3, 0xFFFFFFFFu};
    BufWrite32x4(buffer, &offset, quad);
    EXPECT_EQ(37u, BufReserve(&offset, 3));
    BufWriteText(buffer, &offset, "pak", 3);
    EXPECT_EQ(std::string("\0\1\2\3\4\xFF\xFF\xFF\xFE\x3F\xC0\0\0\xC0\0\0\0\x3E\x80\0\0"
                          "\0\0\0\1\0\0\0\2\0\0\0\3\xFF\xFF\xFF\xFF\0\0\0pak",
                          43),
              std::string(reinterpret_cast<char*>(buffer), offset));
}

} // namespace
