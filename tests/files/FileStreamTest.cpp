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
#include <fstream>
#include <string>

namespace {

std::string Numbered(size_t count) {
    std::string bytes(count, '\0');
    uint32_t state = 12345;
    for (char& c : bytes)
        c = char((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

// Positions past 2 GiB (a 32-bit long on Windows) read and seek: the bytes around the 2 GiB line
// through a range based just below it, and the last bytes of a 3 GiB file from its end.
TEST(FileStream, ReadsAndSeeksPastTwoGigabytes) {
    TempDir dir;
    const std::string path = dir / "large";
    const uint64_t twoGiB = uint64_t(1) << 31;
    const uint64_t size = 3 * (uint64_t(1) << 30);
    WriteWholeFile(path, "");
    std::filesystem::resize_file(path, size); // sparse
    {
        std::fstream out(path, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(std::streamoff(twoGiB - 8));
        out.write("below2G!above2G!", 16);
        out.seekp(std::streamoff(size - 8));
        out.write("the end.", 8);
        ASSERT_TRUE(out.good());
    }
    char buffer[17] = {};
    FileStream* file = FileStream::Create();
    ASSERT_TRUE(file->OpenRange(path.c_str(), int32_t(twoGiB - 16), 32, __FILE__, __LINE__));
    EXPECT_EQ(0, file->Seek(8, SEEK_SET));
    EXPECT_EQ(16, file->Read(buffer, 16, 1));
    EXPECT_STREQ("below2G!above2G!", buffer);
    EXPECT_EQ(0, file->Seek(16, SEEK_SET));
    EXPECT_TRUE(file->ReadAll(buffer, 8));
    EXPECT_EQ("above2G!", std::string(buffer, 8));
    file->Close();

    file = FileStream::Create();
    ASSERT_TRUE(file->Open(path.c_str(), ReadBinary, __FILE__, __LINE__));
    EXPECT_EQ(size, file->GetSize());
    EXPECT_EQ(0, file->Seek(-8, SEEK_END));
    EXPECT_TRUE(file->ReadAll(buffer, 8));
    EXPECT_EQ("the end.", std::string(buffer, 8));
    EXPECT_EQ(0, file->Read(buffer, 8, 1));
    file->Close();
}

// A file of 4 GiB - 1 opens, one of 4 GiB does not; a failed record fails every operation, and a
// write larger than the stdio buffer to a full device fails at once. Lines are cut at 1023.
TEST(FileStream, OpenAndWritesKeepTheirLimitsAndReportFailures) {
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
    // Any mode but text writes one LF a line, after emptying the file; "%" in the text stays.
    WriteWholeFile(dir / "log", std::string(5000, 'o'));
    file = FileStream::Create();
    ASSERT_TRUE(file->Open((dir / "log").c_str(), 3, __FILE__, __LINE__));
    FilePrintLine(file, "%s", "100% done");
    FilePrintLine(file, "%s", std::string(2000, 'w').c_str());
    file->Close();
    EXPECT_EQ("100% done\n" + std::string(1023, 'w') + "\n", ReadWholeFile(dir / "log"));
}

// A range adds its base for every origin, also the end; memory files read across chunks and swap
// big-endian values. Nothing reads past the end, and read counts never wrap.
TEST(FileStream, RangesAndMemoryFilesNeverReadPastTheEnd) {
    TempDir dir;
    std::string bytes = Numbered(39900);
    bytes.replace(16400, 4, std::string("\0\0\1\2", 4));
    WriteWholeFile(dir / "data", bytes);
    WriteWholeFile(dir / "chunk", std::string(16384, 'x'));
    FileStream* file = FileStream::Create();
    ASSERT_TRUE(file->OpenRange((dir / "data").c_str(), 1000, 50, __FILE__, __LINE__));
    char buffer[50];
    ASSERT_EQ(50, file->Read(buffer, 50, 1));
    EXPECT_EQ(bytes.substr(1000, 50), std::string(buffer, 50));
    ASSERT_EQ(0, file->Seek(-1005, SEEK_END));
    EXPECT_EQ(5, file->Read(buffer, 50, 0));
    EXPECT_EQ(bytes.substr(39895), std::string(buffer, 5));
    EXPECT_FALSE(file->ReadAll(buffer, 1));
    ASSERT_EQ(0, file->Seek(10, SEEK_SET));
    EXPECT_EQ(-1, file->Read(buffer, UINT32_MAX, 0));
    EXPECT_FALSE(file->ReadAll(buffer, UINT32_MAX));
    EXPECT_TRUE(file->ReadAll(buffer, 5));
    file->Close();

    const auto load = [&dir](const char* name, bool chunked) {
        MemoryFile* memory =
            FileService::LoadPlainMemoryFile((dir / name).c_str(), chunked, __FILE__, __LINE__);
        EXPECT_NE(nullptr, memory);
        return memory;
    };
    MemoryFile* memory = load("chunk", true);
    EXPECT_EQ(1, memory->chunkCount);
    memory->Release();
    memory = load("data", false);
    EXPECT_FALSE(memory->Seek(0) || memory->ReadBytes(buffer, 1));
    memory->Release();
    memory = load("data", true);
    EXPECT_EQ(3, memory->chunkCount);
    ASSERT_TRUE(memory->Seek(16380));
    ASSERT_TRUE(memory->ReadBytes(buffer, 20));
    EXPECT_EQ(bytes.substr(16380, 20), std::string(buffer, 20));
    uint32_t u = 0;
    EXPECT_EQ(258u, *memory->ReadU32(&u));
    EXPECT_EQ(16404, memory->Tell());
    EXPECT_FALSE(memory->Seek(39901) || memory->Seek(-1));
    ASSERT_TRUE(memory->Seek(39898));
    memcpy(buffer, "abcd", 4);
    EXPECT_FALSE(memory->ReadBytes(buffer, 3));
    EXPECT_EQ("abcd", std::string(buffer, 4));
    memory->Release();
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
