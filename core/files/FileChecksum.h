// The file checksum stored in versions files and checksum tables. Its quirks are part of those
// stored formats and are kept as they are: the count of bytes left drops by only 16370 for each
// 16384-byte block, so past the first block the rounds run beyond the end of the file and XOR
// in whatever their buffers still hold (zero before the first read into them); and the last
// one to four bytes of a file under 16384 bytes whose size is not a multiple of 64 are never
// taken.
#pragma once

#include <cstdint>

constexpr uint32_t kChecksumSeed = 0xFEFAFFAFu;
constexpr uint32_t kChecksumFinal = 0xD2029F7Du;

// The checksum of the file at path; kChecksumSeed ^ kChecksumFinal when it cannot be opened.
uint32_t FileChecksum(const char* path);
