// The records of a zip archive as they follow one another in the file: local headers with their
// entries' data, the central directory, the zip64 end records and the end record. Fields are
// little-endian; a 32-bit size or offset of 0xFFFFFFFF stands for a zip64 value in the record's
// extra field.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t kZipLocalHeader = 0x04034b50;
constexpr uint32_t kZipCentralHeader = 0x02014b50;
constexpr uint32_t kZipZip64End = 0x06064b50;
constexpr uint32_t kZipZip64Locator = 0x07064b50;
constexpr uint32_t kZipEnd = 0x06054b50;

// Fixed parts, signature included.
constexpr size_t kZipLocalHeaderSize = 30;
constexpr size_t kZipCentralHeaderSize = 46;
constexpr size_t kZipZip64EndSize = 56;
constexpr size_t kZipZip64LocatorSize = 20;
constexpr size_t kZipEndSize = 22;

constexpr uint32_t kZip64Marker = 0xFFFFFFFFu;

inline uint16_t ZipRead16(const uint8_t* at) {
    return uint16_t(at[0] | at[1] << 8);
}

inline uint32_t ZipRead32(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

inline uint64_t ZipRead64(const uint8_t* at) {
    return uint64_t(ZipRead32(at)) | uint64_t(ZipRead32(at + 4)) << 32;
}

// Replaces each of *size, *compressed and *offset (null for none) that holds kZip64Marker by its
// value in the zip64 field of extra, in that order, as the format lays them out. False when one
// is marked and the field does not hold it.
bool ZipReadZip64Values(const uint8_t* extra, size_t length, uint64_t* size, uint64_t* compressed,
                        uint64_t* offset);
