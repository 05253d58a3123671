// The zip checksum against zlib's crc32 over lengths and alignments around the 16- and 64-byte
// blocks that are folded with carry-less multiplication where the processor has it, and over
// a large buffer continued in odd pieces.
#include "updater/ZipCrc.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace {

uint32_t Reference(const std::string& data, size_t at, size_t size) {
    return uint32_t(crc32_z(0, reinterpret_cast<const Bytef*>(data.data() + at), size));
}

} // namespace

TEST(ZipCrc, GivesZlibsChecksumForEveryLengthAlignmentAndCut) {
    RecordProperty("folds", ZipCrcFolds() ? "yes" : "no");
    EXPECT_EQ(0xCBF43926u, ZipCrc(0, "123456789", 9));
    EXPECT_EQ(0u, ZipCrc(0, "", 0));
    const std::string bytes = RandomBytes(4096, 21);
    for (size_t at = 0; at < 16; ++at)
        for (size_t size = 0; size <= 300; ++size) {
            SCOPED_TRACE(std::to_string(size) + " bytes at " + std::to_string(at));
            ASSERT_EQ(Reference(bytes, at, size), ZipCrc(0, bytes.data() + at, size));
        }
    // Runs of one byte value: a fault in the reduction shows there even where random bytes
    // happen to pass.
    for (char value : {'\0', '\xff', 'a'}) {
        const std::string run(1000, value);
        EXPECT_EQ(Reference(run, 0, run.size()), ZipCrc(0, run.data(), run.size()));
    }
    const std::string large = RandomBytes(3 << 20, 22);
    uint32_t crc = 0;
    size_t at = 0;
    for (size_t piece : {1, 63, 64, 65, 4095, 100000, 1 << 20})
        for (int twice = 0; twice < 2; ++twice, at += piece)
            crc = ZipCrc(crc, large.data() + at, piece);
    crc = ZipCrc(crc, large.data() + at, large.size() - at);
    EXPECT_EQ(Reference(large, 0, large.size()), crc);
}
