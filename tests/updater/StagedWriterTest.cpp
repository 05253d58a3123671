// The writer of staged files: files handed over in pieces of every size come out whole across
// batch and queue boundaries; a failure reaches the caller, and a discard forgets it and leaves
// no file open.
#include "updater/StagedWriter.h"
#include "tests/support/TempDir.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

void WriteInPieces(StagedWriter* writer, const std::string& data, size_t piece) {
    for (size_t at = 0; at < data.size(); at += piece) {
        const size_t size = std::min(piece, data.size() - at);
        writer->Write(reinterpret_cast<const uint8_t*>(data.data() + at), size);
        writer->Offer();
    }
}

} // namespace

TEST(StagedWriter, FilesComeOutWholeAndFailuresReachTheCaller) {
    TempDir dir;
    // Empty, one byte short of a batch, past the queue, and many small ones in between.
    const std::vector<std::string> contents = {"", RandomBytes(kWriterBatchBytes - 1, 1),
                                               RandomBytes(kWriterQueueBytes * 2 + 17, 2),
                                               RandomBytes(100, 3)};
    {
        StagedWriter writer;
        for (int round = 0; round < 2; ++round)
            for (size_t i = 0; i < contents.size(); ++i) {
                writer.Open((dir / std::to_string(i)).c_str());
                WriteInPieces(&writer, contents[i], i == 2 ? 65537 : 7 + 1000 * i);
                writer.Close();
            }
        for (int small = 0; small < 300; ++small) {
            writer.Open((dir / ("s" + std::to_string(small))).c_str());
            WriteInPieces(&writer, std::string(size_t(small), char(small)), 50);
            writer.Close();
        }
        ASSERT_TRUE(writer.Drain());
        for (size_t i = 0; i < contents.size(); ++i)
            EXPECT_TRUE(contents[i] == ReadWholeFile(dir / std::to_string(i))) << i;
        for (int small = 0; small < 300; ++small)
            EXPECT_EQ(std::string(size_t(small), char(small)),
                      ReadWholeFile(dir / ("s" + std::to_string(small))));

        // A file that cannot be made fails what follows it, until a discard.
        writer.Open((dir / "missing/file").c_str());
        WriteInPieces(&writer, contents[1], 4096);
        writer.Close();
        writer.Open((dir / "after").c_str());
        WriteInPieces(&writer, contents[3], 10);
        writer.Close();
        EXPECT_FALSE(writer.Drain());
        EXPECT_TRUE(writer.Failed());
        writer.Discard();
        EXPECT_FALSE(writer.Failed());

        // Discarded mid-file, and with a file gathered but not handed over: the one is
        // closed, the other never made, and the writer goes on.
        writer.Open((dir / "cut").c_str());
        WriteInPieces(&writer, contents[2], 1 << 20);
        writer.Open((dir / "gathered").c_str());
        writer.Write(reinterpret_cast<const uint8_t*>("abc"), 3);
        writer.Discard();
        EXPECT_FALSE(std::ifstream(dir / "gathered").good());
        writer.Open((dir / "again").c_str());
        WriteInPieces(&writer, contents[3], 3);
        writer.Close();
        EXPECT_TRUE(writer.Drain());
        EXPECT_EQ(contents[3], ReadWholeFile(dir / "again"));

        // Left with bytes queued and a file open: the destructor drops them.
        writer.Open((dir / "left").c_str());
        WriteInPieces(&writer, contents[2], 1 << 20);
    }
}
