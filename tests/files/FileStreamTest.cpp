#include "core/files/FileStream.h"

#include "core/files/FileChecksum.h"
#include "core/files/FileService.h"
#include "core/files/MemoryFile.h"
#include "tests/files/PackBytes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

// Opens a fresh record; the caller closes it.
FileStream* Opened(const std::string& path, int32_t mode) {
    FileStream* file = FileStream::Create();
    EXPECT_TRUE(file->Open(path.c_str(), mode, __FILE__, __LINE__)) << path;
    return file;
}

std::string Numbered(size_t count) {
    std::string bytes(count, '\0');
    uint32_t state = 12345;
    for (char& c : bytes)
        c = char((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

// Sizes are 32-bit: a file of 4 GiB - 1 opens, one of 4 GiB does not. That, a path cut to its
// field and a directory leave a record that reports failure for every operation.
TEST(FileStream, OpenRefusesWhatItCannotServeAndTheRecordThenFails) {
    TempDir dir;
    for (uint64_t size : {uint64_t(UINT32_MAX), uint64_t(1) << 32}) {
        WriteWholeFile(dir / std::to_string(size), "");
        std::filesystem::resize_file(dir / std::to_string(size), size); // sparse
    }
    FileStream* largest = Opened(dir / "4294967295", ReadBinary);
    EXPECT_EQ(UINT32_MAX, largest->GetSize());
    largest->Close();
    for (const std::string& path : {dir / std::string(400, 'p'), dir.Path(), dir / "4294967296"}) {
        FileStream* file = FileStream::Create();
        EXPECT_FALSE(file->Open(path.c_str(), ReadBinary, __FILE__, __LINE__)) << path;
        EXPECT_EQ(path.substr(0, 255), file->GetPath());
        EXPECT_EQ(0u, file->GetSize());
        char buffer[8];
        EXPECT_EQ(-1, file->Read(buffer, sizeof buffer, 0));
        EXPECT_EQ(-1, file->ReadString(buffer));
        EXPECT_FALSE(file->Write("abc", 3));
        EXPECT_EQ(-1, file->Seek(0, SEEK_SET));
        FilePrintLine(file, "ignored %d", 1);
        file->Close();
    }
    FileStream* ranged = FileStream::Create();
    EXPECT_FALSE(ranged->OpenRange((dir / "missing").c_str(), 5, 9, __FILE__, __LINE__));
    ranged->Close();
}

TEST(FileStream, RangeWindowShiftsEverySeekOriginAndReadCountsNeverWrap) {
    TempDir dir;
    const std::string bytes = Numbered(2000);
    WriteWholeFile(dir / "pack", bytes);
    FileStream* file = FileStream::Create();
    ASSERT_TRUE(file->OpenRange((dir / "pack").c_str(), 1000, 50, __FILE__, __LINE__));
    EXPECT_EQ(50u, file->GetSize());
    char buffer[50];
    ASSERT_EQ(50, file->Read(buffer, 50, 1));
    EXPECT_EQ(bytes.substr(1000, 50), std::string(buffer, 50));
    const struct {
        int32_t offset, origin;
        size_t at;
    } seeks[] = {{10, SEEK_SET, 1010}, {-1000, SEEK_CUR, 1011}, {-1005, SEEK_END, 1995}};
    for (const auto& seek : seeks) {
        ASSERT_EQ(0, file->Seek(seek.offset, seek.origin));
        ASSERT_EQ(1, file->Read(buffer, 1, 0));
        EXPECT_EQ(bytes[seek.at], buffer[0]) << seek.at;
    }
    EXPECT_EQ(4, file->Read(buffer, 50, 0));
    EXPECT_EQ(0, file->Read(buffer, 50, 0));
    EXPECT_FALSE(file->ReadAll(buffer, 1));
    ASSERT_EQ(0, file->Seek(-1005, SEEK_END));
    EXPECT_EQ(-1, file->Read(buffer, UINT32_MAX, 0));
    EXPECT_FALSE(file->ReadAll(buffer, UINT32_MAX));
    EXPECT_TRUE(file->ReadAll(buffer, 5));
    file->Close();
}

// A run longer than 511 characters is split, never written past the destination.
TEST(FileStream, ReadStringStopsAtNulEndOfFileAndTheLengthLimit) {
    TempDir dir;
    WriteWholeFile(dir / "strings", std::string("abc\0", 4) + std::string(511, 'M') +
                                        std::string("\0def\0", 5) + std::string(600, 'L'));
    FileStream* file = Opened(dir / "strings", ReadBinary);
    char out[512 + 8];
    memset(out, '#', sizeof out);
    for (const std::string& expected :
         {std::string("abc"), std::string(511, 'M'), std::string("def"), std::string(511, 'L'),
          std::string(89, 'L'), std::string()}) {
        EXPECT_EQ(int(expected.size()), file->ReadString(out));
        EXPECT_EQ(expected, out);
    }
    EXPECT_EQ(std::string(8, '#'), std::string(out + 512, 8));
    file->Close();
}

// Any mode other than text is binary: a line ends in exactly one LF. Opening for writing
// empties the file first.
TEST(FilePrintLine, WritesFormattedLinesVerbatimAndCutsAt1023) {
    TempDir dir;
    WriteWholeFile(dir / "log", std::string(5000, 'o'));
    FileStream* file = Opened(dir / "log", 3);
    FilePrintLine(file, "%s", "100% done");
    FilePrintLine(file, "<version>%s</version>", "1.2");
    FilePrintLine(file, "%s", std::string(2000, 'w').c_str());
    file->Close();
    EXPECT_EQ("100% done\n<version>1.2</version>\n" + std::string(1023, 'w') + "\n",
              ReadWholeFile(dir / "log"));
}

// Chunks of 16384 bytes: reads cross them, typed reads swap big-endian values, and no read or
// seek passes the end. A whole-buffer file is read through GetData only.
TEST(MemoryFile, ChunkedReadsCrossChunksSwapValuesAndNeverPassTheEnd) {
    TempDir dir;
    const auto load = [&dir](const std::string& bytes, bool chunked) {
        WriteWholeFile(dir / "data", bytes);
        MemoryFile* file =
            FileService::LoadPlainMemoryFile((dir / "data").c_str(), chunked, __FILE__, __LINE__);
        EXPECT_NE(nullptr, file);
        return file;
    };
    for (size_t size : {0, 16384}) {
        MemoryFile* file = load(std::string(size, 'x'), true);
        EXPECT_EQ(int32_t(size / 16384), file->chunkCount);
        file->Release();
    }
    std::string bytes = Numbered(39900);
    size_t at = 30000;
    for (uint32_t value :
         {258u, 0xFFFFFFFEu, 0x3F800000u, 0u, 0u, 0x3F800000u, 0u, 0u, 0u, 0x3F800000u})
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes[at++] = char(value >> shift);
    MemoryFile* file = load(bytes, true);
    EXPECT_EQ(3, file->chunkCount);
    ASSERT_TRUE(file->Seek(16380));
    char read[20];
    ASSERT_TRUE(file->ReadBytes(read, 20));
    EXPECT_EQ(bytes.substr(16380, 20), std::string(read, 20));

    ASSERT_TRUE(file->Seek(30000));
    uint32_t u = 0;
    int32_t s = 0;
    float f[4] = {};
    EXPECT_EQ(258u, *file->ReadU32(&u));
    EXPECT_EQ(-2, *file->ReadS32(&s));
    EXPECT_EQ(1.0f, *file->ReadF32(f));
    EXPECT_EQ(1.0f, file->ReadVec3(f)[2]);
    EXPECT_EQ(1.0f, file->ReadVec4(f)[3]);
    EXPECT_EQ(30040, file->Tell());

    EXPECT_FALSE(file->Seek(39901));
    EXPECT_FALSE(file->Seek(-1));
    ASSERT_TRUE(file->Seek(39898));
    memcpy(read, "abcd", 4);
    EXPECT_FALSE(file->ReadBytes(read, 3));
    EXPECT_EQ(nullptr, file->ReadU32(&u));
    EXPECT_EQ("abcd258", std::string(read, 4) + std::to_string(u));
    EXPECT_TRUE(file->ReadBytes(read, 2));
    file->Release();

    file = load(bytes, false);
    EXPECT_EQ(bytes, std::string(reinterpret_cast<char*>(file->GetData()), file->GetSize()));
    EXPECT_FALSE(file->Seek(0));
    EXPECT_FALSE(file->ReadBytes(read, 1));
    file->Release();
}

// Under 16384 bytes the last one to four bytes are dropped. From there the count runs 14 bytes
// ahead per block, and short reads XOR their buffers in as the previous read left them.
TEST(FileChecksum, FollowsTheBlockSmallAndWordRounds) {
    TempDir dir;
    const std::string data = Numbered(40000);
    // XOR of the little-endian words at from, from + 4, ... before to.
    const auto words = [&data](size_t from, size_t to) {
        uint32_t sum = 0;
        for (size_t at = from; at < to; at += 4)
            sum ^= GetLE32(data, at);
        return sum;
    };
    const std::string zeros(3, '\0');
    const struct {
        size_t size;
        uint32_t sum;
    } cases[] = {
        {4, 0},
        {64, words(0, 64)},
        {73, words(0, 72)},
        {16383, words(0, 16380)},
        {16384, words(0, 16384)},
        {16385, words(0, 16384) ^ GetLE32(data.substr(16384, 1) + zeros, 0)},
        {32760, words(0, 32760) ^ words(16376, 16384)},
        // 35 left after two blocks: a whole word, then 3 bytes over the last word's last byte.
        {32775, words(0, 32772) ^ GetLE32(data.substr(32772, 3) + data[32771], 0)},
    };
    for (const auto& c : cases) {
        WriteWholeFile(dir / "file", data.substr(0, c.size));
        EXPECT_EQ(0xFEFAFFAFu ^ 0xD2029F7Du ^ c.sum, FileChecksum((dir / "file").c_str()))
            << c.size;
    }
    EXPECT_EQ(0xFEFAFFAFu ^ 0xD2029F7Du, FileChecksum((dir / "missing").c_str()));
}

} // namespace
