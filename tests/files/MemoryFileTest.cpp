#include "core/files/MemoryFile.h"

#include "core/files/FileStream.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

class Memory : public ::testing::Test {
protected:
    void SetUp() override {
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 13 + i / 256);
        WriteWholeFile(dir / "data", bytes);
    }

    // count bytes of the file from skip on, in a new memory file; *ok is Load's result.
    MemoryFile* Load(uint32_t skip, uint32_t count, bool chunked, bool* ok) {
        FileStream* stream = FileStream::Create();
        EXPECT_TRUE(stream->Open((dir / "data").c_str(), ReadBinary, __FILE__, __LINE__));
        stream->Seek(int32_t(skip), SEEK_SET);
        MemoryFile* file = MemoryFile::Create();
        *ok = file->Load(stream, count, chunked);
        stream->Close();
        return file;
    }

    TempDir dir;
    std::string bytes = std::string(40000, '\0');
    bool ok = false;
};

// Loaded from the stream's position into 16384-byte chunks; reads cross them.
TEST_F(Memory, ChunkedLoadReadsAcrossChunksAndSwapsBigEndianValues) {
    for (const auto& c : {std::make_pair(0u, 0), std::make_pair(16384u, 1)}) {
        MemoryFile* file = Load(100, c.first, true, &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(c.second, file->chunkCount);
        file->Release();
    }
    const char values[] = {0, 0, 1, 2, '\xFF', '\xFF', '\xFF', '\xFE', 0x3F, '\x80', 0, 0};
    bytes.replace(30100, sizeof values, values, sizeof values);
    WriteWholeFile(dir / "data", bytes);
    MemoryFile* file = Load(100, 39900, true, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(3, file->chunkCount);
    EXPECT_EQ(nullptr, file->GetData());
    EXPECT_EQ(0, file->Tell());

    ASSERT_TRUE(file->Seek(16380));
    EXPECT_EQ(16380, file->Tell());
    char read[20];
    ASSERT_TRUE(file->ReadBytes(read, 20));
    EXPECT_EQ(0, memcmp(read, bytes.data() + 16480, 20));
    EXPECT_EQ(1, file->chunkIndex);
    EXPECT_EQ(16, file->chunkOffset);

    ASSERT_TRUE(file->Seek(30000));
    uint32_t u = 0;
    int32_t s = 0;
    float f[4] = {};
    EXPECT_EQ(258u, *file->ReadU32(&u));
    EXPECT_EQ(-2, *file->ReadS32(&s));
    EXPECT_EQ(1.0f, *file->ReadF32(f));
    ASSERT_TRUE(file->Seek(30000));
    EXPECT_EQ(1.0f, file->ReadVec3(f)[2]);
    ASSERT_TRUE(file->Seek(30000 - 4));
    EXPECT_EQ(1.0f, file->ReadVec4(f)[3]);
    EXPECT_EQ(30012, file->Tell());
    file->Release();
}

TEST_F(Memory, ReadsPastTheEndAndOnAWholeBufferFailWithoutReading) {
    MemoryFile* file = Load(0, 16390, true, &ok);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(file->Seek(16391));
    EXPECT_FALSE(file->Seek(-1));
    EXPECT_TRUE(file->Seek(16390)); // the end itself
    ASSERT_TRUE(file->Seek(16388));
    char read[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(file->ReadBytes(read, 3));
    EXPECT_EQ(0, memcmp(read, "abcd", 4));
    uint32_t value = 7;
    EXPECT_EQ(nullptr, file->ReadU32(&value));
    EXPECT_EQ(7u, value);
    EXPECT_TRUE(file->ReadBytes(read, 2));
    EXPECT_EQ(bytes[16389], read[1]);
    EXPECT_FALSE(file->ReadBytes(read, 1));
    file->Release();

    file = Load(0, 20000, false, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(0, memcmp(file->GetData(), bytes.data(), 20000));
    EXPECT_EQ(-1, file->Tell());
    EXPECT_FALSE(file->Seek(0));
    EXPECT_FALSE(file->ReadBytes(read, 1));
    EXPECT_EQ(nullptr, file->ReadU32(&value));
    EXPECT_EQ(7u, value);
    file->Release();
}

TEST_F(Memory, LoadFailsWhenTheStreamRunsShort) {
    Load(0, 40001, false, &ok)->Release();
    EXPECT_FALSE(ok);
    // The chunks read before the short one stay with the record until Release.
    MemoryFile* chunked = Load(30000, 16384 + 10, true, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(1, chunked->chunkCount);
    chunked->Release();
}

} // namespace
