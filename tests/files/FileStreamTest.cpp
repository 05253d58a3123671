#include "core/files/FileStream.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
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
    for (size_t i = 0; i < count; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

// A path cut to its field, a directory and a file too large for 32-bit sizes all fail to open
// and leave a record that reports failure for every operation.
TEST(FileStream, FailedOpenLeavesARecordThatReportsFailure) {
    TempDir dir;
    const std::string huge = dir / "huge";
    WriteWholeFile(huge, "");
    std::filesystem::resize_file(huge, (uint64_t(1) << 32) + 1); // sparse
    for (const std::string& path : {dir / std::string(400, 'p'), dir.Path(), huge}) {
        FileStream* file = FileStream::Create();
        EXPECT_FALSE(file->Open(path.c_str(), ReadBinary, __FILE__, __LINE__)) << path;
        EXPECT_EQ(path.substr(0, 255), file->GetPath());
        EXPECT_EQ(0u, file->GetSize());
        EXPECT_EQ(nullptr, file->stream);
        char buffer[8];
        EXPECT_EQ(-1, file->Read(buffer, sizeof buffer, 0));
        EXPECT_EQ(-1, file->ReadString(buffer));
        EXPECT_FALSE(file->Write("abc", 3));
        EXPECT_EQ(-1, file->Seek(0, SEEK_SET));
        FilePrintLine(file, "ignored %d", 1);
        file->Close();
    }
    for (const std::string& path : {dir / "missing", dir.Path()}) {
        FileStream* ranged = FileStream::Create();
        EXPECT_FALSE(ranged->OpenRange(path.c_str(), 5, 9, __FILE__, __LINE__)) << path;
        EXPECT_EQ(9u, ranged->GetSize());
        ranged->Close();
    }
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
    // The base is added for the current position and the end too.
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
    // A count that does not fit the result is a failure, not a wrapped success.
    ASSERT_EQ(0, file->Seek(-1005, SEEK_END));
    EXPECT_EQ(-1, file->Read(buffer, UINT32_MAX, 0));
    EXPECT_FALSE(file->ReadAll(buffer, UINT32_MAX));
    EXPECT_TRUE(file->ReadAll(buffer, 5));
    file->Close();
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
    WriteWholeFile(dir / "strings", std::string("abc\0", 4) + std::string(511, 'M') +
                                        std::string("\0def\0", 5) + std::string(600, 'L'));
    FileStream* file = Opened(dir / "strings", ReadBinary);
    // A run longer than 511 characters is split, never written past the destination.
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

} // namespace
