#include "core/files/FileStream.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

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
    for (size_t i = 0; i < count; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

TEST(FileStream, OpenMeasuresTruncatesAndPicksTheStdioMode) {
    TempDir dir;
    WriteWholeFile(dir / "data", "0123456789");
    FileStream* reader = Opened(dir / "data", ReadBinary);
    EXPECT_EQ(10u, reader->GetSize());
    EXPECT_EQ(dir / "data", reader->GetPath());
    reader->Close();

    FileStream* writer = Opened(dir / "data", WriteBinary);
    EXPECT_EQ(0u, writer->GetSize());
    writer->Close();
    EXPECT_EQ("", ReadWholeFile(dir / "data"));

    // Any mode other than text is binary: a line ends in exactly one LF.
    FileStream* odd = Opened(dir / "odd", 3);
    FilePrintLine(odd, "x");
    odd->Close();
    EXPECT_EQ("x\n", ReadWholeFile(dir / "odd"));
}

TEST(FileStream, FailedOpenLeavesARecordThatReportsFailure) {
    TempDir dir;
    FileStream* file = FileStream::Create();
    ASSERT_NE(nullptr, file);
    EXPECT_FALSE(file->Open((dir / "missing").c_str(), ReadBinary, __FILE__, __LINE__));
    EXPECT_EQ(0u, file->GetSize());
    EXPECT_EQ(nullptr, file->stream);
    char buffer[8];
    EXPECT_EQ(-1, file->Read(buffer, sizeof buffer, 0));
    EXPECT_EQ(-1, file->ReadString(buffer));
    EXPECT_FALSE(file->Write("abc", 3));
    EXPECT_EQ(-1, file->Seek(0, SEEK_SET));
    FilePrintLine(file, "ignored %d", 1);
    file->Close();

    FileStream* ranged = FileStream::Create();
    EXPECT_FALSE(ranged->OpenRange((dir / "missing").c_str(), 5, 9, __FILE__, __LINE__));
    EXPECT_EQ(9u, ranged->GetSize());
    ranged->Close();
}

TEST(FileStream, PathIsCutToItsField) {
    const std::string longPath(400, 'p');
    FileStream* file = FileStream::Create();
    EXPECT_FALSE(file->Open(longPath.c_str(), ReadBinary, __FILE__, __LINE__));
    EXPECT_EQ(std::string(255, 'p'), file->GetPath());
    file->Close();
}

TEST(FileStream, RangeWindowShiftsReadsAndEverySeekOrigin) {
    TempDir dir;
    const std::string bytes = Numbered(2000);
    WriteWholeFile(dir / "pack", bytes);
    FileStream* file = FileStream::Create();
    ASSERT_TRUE(file->OpenRange((dir / "pack").c_str(), 1000, 50, __FILE__, __LINE__));
    EXPECT_EQ(50u, file->GetSize());
    char buffer[50];
    ASSERT_EQ(50, file->Read(buffer, 50, 1));
    EXPECT_EQ(bytes.substr(1000, 50), std::string(buffer, 50));

    ASSERT_EQ(0, file->Seek(10, SEEK_SET));
    ASSERT_EQ(1, file->Read(buffer, 1, 0));
    EXPECT_EQ(bytes[1010], buffer[0]);
    // The base is added for the current position and the end too.
    ASSERT_EQ(0, file->Seek(-1000, SEEK_CUR));
    ASSERT_EQ(1, file->Read(buffer, 1, 0));
    EXPECT_EQ(bytes[1011], buffer[0]);
    ASSERT_EQ(0, file->Seek(-1005, SEEK_END));
    ASSERT_EQ(1, file->Read(buffer, 1, 0));
    EXPECT_EQ(bytes[1995], buffer[0]);
    EXPECT_EQ(4, file->Read(buffer, 50, 0));
    EXPECT_EQ(0, file->Read(buffer, 50, 0));
    file->Close();
}

TEST(FileStream, WriteThenReadBack) {
    TempDir dir;
    const std::string bytes = Numbered(70000);
    FileStream* writer = Opened(dir / "blob", WriteBinary);
    EXPECT_TRUE(writer->Write(bytes.data(), uint32_t(bytes.size())));
    EXPECT_TRUE(writer->Write(nullptr, 0));
    writer->Close();
    EXPECT_EQ(bytes, ReadWholeFile(dir / "blob"));

    FileStream* reader = Opened(dir / "blob", ReadBinary);
    EXPECT_EQ(70000u, reader->GetSize());
    std::string back(70000, '\0');
    EXPECT_EQ(70000, reader->Read(&back[0], 70000, 0));
    EXPECT_EQ(bytes, back);
    reader->Close();
}

TEST(FileStream, WritingToAFullDeviceFails) {
    FileStream* file = FileStream::Create();
    if (!file->Open("/dev/full", WriteBinary, __FILE__, __LINE__)) {
        file->Close();
        GTEST_SKIP() << "no /dev/full on this system";
    }
    // Larger than the stdio buffer, so the failure shows at once.
    const std::string bytes(1 << 20, 'x');
    EXPECT_FALSE(file->Write(bytes.data(), uint32_t(bytes.size())));
    file->Close();
}

TEST(FileStream, ReadStringStopsAtNulEndOfFileAndTheLengthLimit) {
    TempDir dir;
    WriteWholeFile(dir / "strings", std::string("abc\0def", 7));
    FileStream* file = Opened(dir / "strings", ReadBinary);
    char out[512];
    EXPECT_EQ(3, file->ReadString(out));
    EXPECT_STREQ("abc", out);
    EXPECT_EQ(3, file->ReadString(out));
    EXPECT_STREQ("def", out);
    EXPECT_EQ(0, file->ReadString(out));
    EXPECT_STREQ("", out);
    file->Close();

    // A run longer than 511 characters is split, never written past the destination.
    WriteWholeFile(dir / "long", std::string(600, 'L'));
    FileStream* longFile = Opened(dir / "long", ReadBinary);
    char guarded[512 + 8];
    memset(guarded, '#', sizeof guarded);
    EXPECT_EQ(511, longFile->ReadString(guarded));
    EXPECT_EQ(std::string(511, 'L'), guarded);
    EXPECT_EQ(std::string(8, '#'), std::string(guarded + 512, 8));
    EXPECT_EQ(89, longFile->ReadString(guarded));
    longFile->Close();
}

TEST(FilePrintLine, WritesFormattedLinesVerbatimAndCutsAt1023) {
    TempDir dir;
    FileStream* file = Opened(dir / "log", WriteBinary);
    FilePrintLine(file, "%s", "100% done");
    FilePrintLine(file, "<version>%s</version>", "1.2");
    FilePrintLine(file, "%s", std::string(2000, 'w').c_str());
    file->Close();
    EXPECT_EQ("100% done\n<version>1.2</version>\n" + std::string(1023, 'w') + "\n",
              ReadWholeFile(dir / "log"));
}

} // namespace
