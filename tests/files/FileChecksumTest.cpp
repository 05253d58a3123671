#include "core/files/FileChecksum.h"

#include "tests/files/PackBytes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint32_t kEmpty = 0xFEFAFFAFu ^ 0xD2029F7Du;

std::string Random(size_t count) {
    std::string bytes(count, '\0');
    uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = char(state >> 16);
    }
    return bytes;
}

// XOR of the little-endian words at from, from + 4, ... before to.
uint32_t Words(const std::string& bytes, size_t from, size_t to) {
    uint32_t sum = 0;
    for (size_t at = from; at < to; at += 4)
        sum ^= GetLE32(bytes, at);
    return sum;
}

// Little-endian word of four given bytes.
uint32_t Word(char b0, char b1, char b2, char b3) {
    return GetLE32(std::string{b0, b1, b2, b3}, 0);
}

class Checksum : public ::testing::Test {
protected:
    // Checksum of a file holding the first size bytes of data.
    uint32_t Of(size_t size) {
        const std::string path = dir / ("file" + std::to_string(size));
        WriteWholeFile(path, data.substr(0, size));
        return FileChecksum(path.c_str());
    }

    TempDir dir;
    const std::string data = Random(40000);
};

TEST_F(Checksum, SmallFilesDropTheirLastOneToFourBytes) {
    EXPECT_EQ(kEmpty, FileChecksum((dir / "missing").c_str()));
    EXPECT_EQ(kEmpty, Of(0));
    EXPECT_EQ(kEmpty, Of(4));
    EXPECT_EQ(kEmpty ^ Words(data, 0, 4), Of(8));
    EXPECT_EQ(kEmpty ^ Words(data, 0, 64), Of(64));
    EXPECT_EQ(kEmpty ^ Words(data, 0, 64), Of(68));
    EXPECT_EQ(kEmpty ^ Words(data, 0, 64) ^ Words(data, 64, 72), Of(73));
    // 255 blocks of 64 leave 63 bytes: 15 words are taken and 3 bytes dropped.
    EXPECT_EQ(kEmpty ^ Words(data, 0, 16380), Of(16383));
}

TEST_F(Checksum, BlockCountRunsAheadAndReusesBuffers) {
    EXPECT_EQ(kEmpty ^ Words(data, 0, 16384), Of(16384));

    // 15 left after the block: the word buffer gets byte 16384 and zeros, then is XORed
    // twice more after reads that find nothing.
    EXPECT_EQ(kEmpty ^ Words(data, 0, 16384) ^ Word(data[16384], 0, 0, 0), Of(16385));

    // The second block read finds 16376 bytes; its last 8 bytes still hold the first block's.
    EXPECT_EQ(kEmpty ^ Words(data, 0, 16384) ^ Words(data, 16384, 32760) ^
                  Words(data, 16376, 16384),
              Of(32760));

    // 35 left after two blocks: one whole word, then 3 bytes over the previous word's last
    // byte, XORed seven times in all.
    const uint32_t mixed = Word(data[32772], data[32773], data[32774], data[32771]);
    EXPECT_EQ(kEmpty ^ Words(data, 0, 32768) ^ Words(data, 32768, 32772) ^ mixed, Of(32768 + 7));
}

} // namespace
