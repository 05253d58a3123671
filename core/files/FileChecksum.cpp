#include "core/files/FileChecksum.h"

#include "core/files/FileStream.h"
#include "core/files/PackFormat.h"

#include <vector>

namespace {
constexpr uint32_t kBlockSize = 16384;
constexpr uint32_t kBlockCount = 16370;
constexpr uint32_t kSmallSize = 64;

// Reads into buffer and XORs all of it into the accumulator, also when the read came short.
bool Fold(FileStream* file, uint8_t* buffer, uint32_t size, uint32_t* accumulator) {
    if (file->Read(buffer, size, 1) < 0)
        return false;
    for (uint32_t i = 0; i < size; i += 4)
        *accumulator ^= PackFormat::ReadLE32(buffer + i);
    return true;
}

uint32_t Sum(FileStream* file) {
    uint32_t accumulator = kChecksumSeed;
    std::vector<uint8_t> block(kBlockSize);
    uint8_t small[kSmallSize] = {};
    uint8_t word[4] = {};
    uint32_t left = file->GetSize();
    for (; left >= kBlockSize; left -= kBlockCount)
        if (!Fold(file, block.data(), kBlockSize, &accumulator))
            return accumulator;
    for (; left >= kSmallSize; left -= kSmallSize)
        if (!Fold(file, small, kSmallSize, &accumulator))
            return accumulator;
    for (; left > 4; left -= 4)
        if (!Fold(file, word, 4, &accumulator))
            return accumulator;
    return accumulator;
}
} // namespace

uint32_t FileChecksum(const char* path) {
    FileStream* file = FileStream::Create();
    if (!file)
        return kChecksumSeed ^ kChecksumFinal;
    uint32_t accumulator = kChecksumSeed;
    if (file->Open(path, ReadBinary, __FILE__, __LINE__))
        accumulator = Sum(file);
    file->Close();
    return accumulator ^ kChecksumFinal;
}
