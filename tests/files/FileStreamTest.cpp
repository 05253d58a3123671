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

std::string Numbered(size_t count) {
    std::string bytes(count, '\0');
    uint32_t state = 12345;
    for (char& c : bytes)
        c = char((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

// A file of 4 GiB - 1 opens, one of 4 GiB does not; a failed record fails every operation, and a
// write larger than the stdio buffer to a full device fails at once.
TEST(FileStream, OpenRefusesWhatItCannotServeAndFailuresAreReported) {
    TempDir dir;
    for (uint64_t size : {uint64_t(UINT32_MAX), uint64_t(1) << 32}) {
        WriteWholeFile(dir / std::to_string(size), "");
        std::filesystem::resize_file(dir / std::to_string(size), size); // sparse
    }
    FileStream* file = FileStream::Create();
    ASSERT_TRUE(file->Open((dir / "4294967295").c_str(), ReadBinary, __FILE__, __LINE__));
    EXPECT_EQ(UINT32_MAX, file->GetSize());
    file->Close();
    for (const std::string& path : {dir / std::string(400, 'p'), dir.Path(), dir / "4294967296"}) {
        file = FileStream::Create();
        EXPECT_FALSE(file->Open(path.c_str(), ReadBinary, __FILE__, __LINE__)) << path;
        EXPECT_EQ(path.substr(0, 255), file->GetPath());
        file->Close();
    }
    file = FileStream::Create();
    EXPECT_FALSE(file->OpenRange((dir / "missing").c_str(), 5, 9, __FILE__, __LINE__));
    char buffer[8];
    EXPECT_EQ(-1, file->Read(buffer, 8, 0));
    EXPECT_FALSE(file->Write("abc", 3));
    EXPECT_EQ(-1, file->Seek(0, SEEK_SET));
    FilePrintLine(file, "ignored %d", 1);
    file->Close();
    file = FileStream::Create();
    EXPECT_FALSE(file->Open("/dev/full", WriteBinary, __FILE__, __LINE__) &&
                 file->Write(std::string(1 << 20, 'x').data(), 1 << 20));
    file->Close();
}

TEST(FileStream, RangeWindowShiftsSeeksAndReadCountsNeverWrap) {
    TempDir dir;
    const std::string bytes = Numbered(2000);
    WriteWholeFile(dir / "pack", bytes);
    FileStream* file = FileStream::Create();
    ASSERT_TRUE(file->OpenRange((dir / "pack").c_str(), 1000, 50, __FILE__, __LINE__));
    char buffer[50];
    ASSERT_EQ(50, file->Read(buffer, 50, 1));
    EXPECT_EQ(bytes.substr(1000, 50), std::string(buffer, 50));
    // The base is added for every origin, also the end.
    ASSERT_EQ(0, file->Seek(-1005, SEEK_END));
    EXPECT_EQ(5, file->Read(buffer, 50, 0));
    EXPECT_EQ(bytes.substr(1995), std::string(buffer, 5));
    EXPECT_FALSE(file->ReadAll(buffer, 1));
    ASSERT_EQ(0, file->Seek(10, SEEK_SET));
    EXPECT_EQ(-1, file->Read(buffer, UINT32_MAX, 0));
    EXPECT_FALSE(file->ReadAll(buffer, UINT32_MAX));
    EXPECT_TRUE(file->ReadAll(buffer, 5));
    file->Close();
}

// Any mode but text writes one LF a line, after emptying the file; "%" in the text stays.
TEST(FilePrintLine, WritesFormattedLinesVerbatimAndCutsAt1023) {
    TempDir dir;
    WriteWholeFile(dir / "log", std::string(5000, 'o'));
    FileStream* file = FileStream::Create();
    ASSERT_TRUE(file->Open((dir / "log").c_str(), 3, __FILE__, __LINE__));
    FilePrintLine(file, "%s", "100% done");
    FilePrintLine(file, "%s", std::string(2000, 'w').c_str());
    file->Close();
    EXPECT_EQ("100% done\n" + std::string(1023, 'w') + "\n", ReadWholeFile(dir / "log"));
}

// Reads cross chunks and swap big-endian values; none passes the end or reads a whole buffer.
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
    bytes.replace(16400, 4, std::string("\0\0\1\2", 4));
    MemoryFile* file = load(bytes, true);
    EXPECT_EQ(3, file->chunkCount);
    ASSERT_TRUE(file->Seek(16380));
    char read[20];
    ASSERT_TRUE(file->ReadBytes(read, 20));
    EXPECT_EQ(bytes.substr(16380, 20), std::string(read, 20));
    uint32_t u = 0, v[4] = {};
    EXPECT_EQ(258u, *file->ReadU32(&u));
    ASSERT_TRUE(file->Seek(16400 - 12));
    ASSERT_NE(nullptr, file->ReadVec4(reinterpret_cast<float*>(v)));
    EXPECT_EQ(258u, v[3]);
    EXPECT_EQ(16404, file->Tell());
    EXPECT_FALSE(file->Seek(39901));
    EXPECT_FALSE(file->Seek(-1));
    ASSERT_TRUE(file->Seek(39898));
    memcpy(read, "abcd", 4);
    EXPECT_FALSE(file->ReadBytes(read, 3));
    EXPECT_EQ("abcd", std::string(read, 4));
    file->Release();

    file = load(bytes, false);
    EXPECT_FALSE(file->Seek(0));
    EXPECT_FALSE(file->ReadBytes(read, 1));
    file->Release();
}

// Under 16384 bytes the last 1 to 4 bytes are dropped; above, the count runs 14 bytes ahead a
// block and short reads XOR in what their buffers held.
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
    const std::pair<size_t, uint32_t> cases[] = {
        {4, 0},
        {64, words(0, 64)},
        {73, words(0, 72)},
        {16383, words(0, 16380)},
        {16384, words(0, 16384)},
        {16385, words(0, 16384) ^ GetLE32(data.substr(16384, 1) + std::string(3, '\0'), 0)},
        {32760, words(0, 32760) ^ words(16376, 16384)},
        // 35 left after two blocks: a whole word, then 3 bytes over the last word's last byte.
        {32775, words(0, 32772) ^ GetLE32(data.substr(32772, 3) + data[32771], 0)},
    };
    for (const auto& [size, sum] : cases) {
        WriteWholeFile(dir / "file", data.substr(0, size));
        EXPECT_EQ(0xFEFAFFAFu ^ 0xD2029F7Du ^ sum, FileChecksum((dir / "file").c_str())) << size;
    }
    EXPECT_EQ(0xFEFAFFAFu ^ 0xD2029F7Du, FileChecksum((dir / "missing").c_str()));
}

} // namespace
