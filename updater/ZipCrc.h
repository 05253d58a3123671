// The CRC-32 that zip archives check their entries with, as zlib's crc32 computes it. Where the
// processor multiplies without carries (PCLMULQDQ), long runs are folded 64 bytes at a time,
// several times as fast as zlib's tables: the checksum of every byte extracted would otherwise
// take a fifth of the time an update spends decoding.
#pragma once

#include <cstddef>
#include <cstdint>

// crc continued over size bytes of data; 0 starts a checksum.
uint32_t ZipCrc(uint32_t crc, const void* data, size_t size);

// Whether ZipCrc folds with carry-less multiplication on this processor.
bool ZipCrcFolds();
