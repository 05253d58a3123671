#include "core/files/MemoryFile.h"

#include "core/files/FileStream.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Numbered(size_t count) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i)
        bytes[i] = char(i * 13 + i / 256);
    return bytes;
}

// Loads count bytes of the file at path, starting at skip, into a new memory file.
MemoryFile* Loaded(const std::string& path, uint32_t skip, uint32_t count, bool chunked, bool* ok) {
    FileStream* stream = FileStream::Create();
    EXPECT_TRUE(stream->Open(path.c_str(), ReadBinary, __FILE__, __LINE__));
    stream->Seek(int32_t(skip), SEEK_SET);
    MemoryFile* file = MemoryFile::Create();
    *ok = file->Load(stream, count, chunked);
    stream->Close();
    return file;
}

TEST(MemoryFile, ChunkedLoadSplitsInto16384ByteChunks) {
    TempDir dir;
    const std::string bytes = Numbered(16385 + 100);
    WriteWholeFile(dir / "data", bytes);
    bool ok = false;

    MemoryFile* empty = Loaded(dir / "data", 0, 0, true, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(0, empty->chunkCount);
    EXPECT_EQ(0, empty->Tell());
    empty->Release();

    MemoryFile* one = Loaded(dir / "data", 0, 16384, true, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(1, one->chunkCount);
    EXPECT_EQ(16384, one->chunkSize);
    EXPECT_EQ(nullptr, one->GetData());
    one->Release();

    // Loading starts at the stream's position.
    MemoryFile* two = Loaded(dir / "data", 100, 16385, true, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(2, two->chunkCount);
    EXPECT_EQ(16385u, two->GetSize());
    EXPECT_EQ(0, memcmp(two->chunks[0], bytes.data() + 100, 16384));
    EXPECT_EQ(bytes[100 + 16384], char(two->chunks[1][0]));
    two->Release();
}

TEST(MemoryFile, ReadsCrossChunksAndSwapBigEndianValues) {
    TempDir dir;
    std::string bytes = Numbered(40000);
    const char values[] = {0, 0, 1, 2, '\xFF', '\xFF', '\xFF', '\xFE', 0x3F, '\x80', 0, 0};
    bytes.replace(30000, sizeof values, values, sizeof values);
    WriteWholeFile(dir / "data", bytes);
    bool ok = false;
    MemoryFile* file = Loaded(dir / "data", 0, 40000, true, &ok);
    ASSERT_TRUE(ok);

    ASSERT_TRUE(file->Seek(16380));
    EXPECT_EQ(16380, file->Tell());
    char read[20];
    ASSERT_TRUE(file->ReadBytes(read, 20));
    EXPECT_EQ(0, memcmp(read, bytes.data() + 16380, 20));
    EXPECT_EQ(16400, file->Tell());
    EXPECT_EQ(1, file->chunkIndex);
    EXPECT_EQ(16, file->chunkOffset);

    ASSERT_TRUE(file->Seek(30000));
    uint32_t u = 0;
    int32_t s = 0;
    float f = 0;
    EXPECT_EQ(&u, file->ReadU32(&u));
    EXPECT_EQ(258u, u);
    EXPECT_EQ(&s, file->ReadS32(&s));
    EXPECT_EQ(-2, s);
    EXPECT_EQ(&f, file->ReadF32(&f));
    EXPECT_EQ(1.0f, f);

    // Three and four values in a row, each swapped on its own.
    ASSERT_TRUE(file->Seek(30000));
    float vec[4] = {};
    EXPECT_EQ(vec, file->ReadVec3(vec));
    EXPECT_EQ(1.0f, vec[2]);
    ASSERT_TRUE(file->Seek(30000 - 4));
    EXPECT_EQ(vec, file->ReadVec4(vec));
    EXPECT_EQ(1.0f, vec[3]);
    EXPECT_EQ(30012, file->Tell());
    file->Release();
}

TEST(MemoryFile, ReadsPastTheEndFailWithoutReading) {
    TempDir dir;
    const std::string bytes = Numbered(16390);
    WriteWholeFile(dir / "data", bytes);
    bool ok = false;
    MemoryFile* file = Loaded(dir / "data", 0, 16390, true, &ok);
    ASSERT_TRUE(ok);

    EXPECT_FALSE(file->Seek(16391));
    EXPECT_FALSE(file->Seek(-1));
    ASSERT_TRUE(file->Seek(16388));
    char read[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(file->ReadBytes(read, 3));
    EXPECT_EQ(0, memcmp(read, "abcd", 4));
    uint32_t value = 7;
    EXPECT_EQ(nullptr, file->ReadU32(&value));
    EXPECT_EQ(7u, value);
    EXPECT_EQ(16388, file->Tell());
    EXPECT_TRUE(file->ReadBytes(read, 2));
    EXPECT_EQ(bytes[16389], read[1]);

    // The end itself is a valid position with nothing left to read.
    EXPECT_TRUE(file->Seek(16390));
    EXPECT_TRUE(file->ReadBytes(read, 0));
    EXPECT_FALSE(file->ReadBytes(read, 1));
    file->Release();
}

TEST(MemoryFile, WholeBufferIsReadThroughGetDataOnly) {
    TempDir dir;
    const std::string bytes = Numbered(20000);
    WriteWholeFile(dir / "data", bytes);
    bool ok = false;
    MemoryFile* file = Loaded(dir / "data", 0, 20000, false, &ok);
    ASSERT_TRUE(ok);
    ASSERT_NE(nullptr, file->GetData());
    EXPECT_EQ(0, memcmp(file->GetData(), bytes.data(), bytes.size()));
    EXPECT_EQ(0, file->chunkSize);
    EXPECT_EQ(-1, file->Tell());
    EXPECT_FALSE(file->Seek(0));
    char read[4] = {};
    EXPECT_FALSE(file->ReadBytes(read, 1));
    uint32_t value = 5;
    EXPECT_EQ(nullptr, file->ReadU32(&value));
    EXPECT_EQ(5u, value);
    file->Release();
}

TEST(MemoryFile, LoadFailsWhenTheStreamRunsShort) {
    TempDir dir;
    WriteWholeFile(dir / "data", Numbered(20000));
    bool ok = true;
    Loaded(dir / "data", 0, 20001, false, &ok)->Release();
    EXPECT_FALSE(ok);
    // The chunks read before the short one stay with the record until Release.
    MemoryFile* chunked = Loaded(dir / "data", 10000, 16384, true, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(1, chunked->chunkCount);
    chunked->Release();
}

} // namespace
