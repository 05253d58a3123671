// A file an update package carries as the difference from the installed one: an entry named
// kDeltaEntryPrefix followed by the file's name, whose data are a header and then a librsync
// delta against the installed file. The prefix lies in the launcher's staging folder, so a
// launcher that knows no such entry refuses the whole package and changes nothing.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr const char kDeltaEntryPrefix[] = "installed_updates.staging/delta/";

constexpr size_t kDeltaHashSize = 32;
// The magic, both SHA-256 hashes and the result's size, 8 bytes little-endian.
constexpr size_t kDeltaHeaderSize = 8 + 2 * kDeltaHashSize + 8;

struct DeltaHeader {
    uint8_t basisSha256[kDeltaHashSize];  // of the installed file the delta applies to
    uint8_t resultSha256[kDeltaHashSize]; // of the file it must produce
    uint64_t resultSize;
};

void DeltaHeaderWrite(const DeltaHeader& header, uint8_t (&bytes)[kDeltaHeaderSize]);
// False when bytes do not begin with the magic.
bool DeltaHeaderRead(const uint8_t (&bytes)[kDeltaHeaderSize], DeltaHeader* header);

// The name of the file that the entry called name patches, or null when name is no delta entry.
const char* DeltaTargetName(const char* name);
