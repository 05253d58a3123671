// Byte layouts of the pack data file and the index file. Numbers are unsigned 32-bit
// little-endian (host order on every target) unless noted; offsets count from the start of the
// file. The records' field offsets are named here so that readers and writers agree.
#pragma once

#include <cstdint>
#include <cstring>

namespace PackFormat {

constexpr uint32_t FourCC(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 |
           uint32_t(uint8_t(text[2])) << 16 | uint32_t(uint8_t(text[3])) << 24;
}

constexpr int kPathSize = 256;

// Pack data file: header, then type records (key, first entry, count) and entry records
// (name key, data offset, data size) wherever the header says.
constexpr uint32_t kPackMagic = FourCC("QDFP");
constexpr uint32_t kPackVersion = FourCC("VF01");
constexpr uint32_t kPackHeaderSize = 24;
constexpr uint32_t kPackTypeSize = 12;
constexpr uint32_t kPackEntrySize = 40;

// Index file: header (magic, version, pack count), pack records, type records, entry records.
constexpr uint32_t kIndexMagic = FourCC("ZVFS");
constexpr uint32_t kIndexVersion = FourCC("VN01");
constexpr uint32_t kIndexHeaderSize = 12;

constexpr uint32_t kIndexPackSize = 304;
constexpr uint32_t kIndexPackPath = 32;
constexpr uint32_t kIndexPackTypesOffset = 288;
constexpr uint32_t kIndexPackTypeCount = 292;

constexpr uint32_t kIndexTypeSize = 16;
constexpr uint32_t kIndexTypeEntriesOffset = 4;
constexpr uint32_t kIndexTypeEntryCount = 8;

constexpr uint32_t kIndexEntrySize = 296;
constexpr uint32_t kIndexEntryOffset = 32;
constexpr uint32_t kIndexEntrySizeField = 36;
constexpr uint32_t kIndexEntryPath = 40;

inline uint32_t ReadLE32(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

inline uint32_t ReadBE32(const uint8_t* at) {
    return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | uint32_t(at[3]);
}

inline void WriteLE32(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
    at[2] = uint8_t(value >> 16);
    at[3] = uint8_t(value >> 24);
}

inline void WriteBE32(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value >> 24);
    at[1] = uint8_t(value >> 16);
    at[2] = uint8_t(value >> 8);
    at[3] = uint8_t(value);
}

// True when a path field of kPathSize bytes holds its terminator.
inline bool PathFieldTerminated(const uint8_t* field) {
    return memchr(field, 0, kPathSize) != nullptr;
}

} // namespace PackFormat
