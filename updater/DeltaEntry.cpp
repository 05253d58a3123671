#include "updater/DeltaEntry.h"

#include <cstring>

namespace {
constexpr uint8_t kMagic[8] = {'L', 'D', 'E', 'L', 'T', 'A', '\r', '\n'};
} // namespace

void DeltaHeaderWrite(const DeltaHeader& header, uint8_t (&bytes)[kDeltaHeaderSize]) {
    uint8_t* at = bytes;
    memcpy(at, kMagic, sizeof kMagic);
    at += sizeof kMagic;
    memcpy(at, header.basisSha256, kDeltaHashSize);
    at += kDeltaHashSize;
    memcpy(at, header.resultSha256, kDeltaHashSize);
    at += kDeltaHashSize;
    for (int i = 0; i < 8; ++i)
        at[i] = uint8_t(header.resultSize >> (8 * i));
}

bool DeltaHeaderRead(const uint8_t (&bytes)[kDeltaHeaderSize], DeltaHeader* header) {
    const uint8_t* at = bytes;
    if (memcmp(at, kMagic, sizeof kMagic) != 0)
        return false;
    at += sizeof kMagic;
    memcpy(header->basisSha256, at, kDeltaHashSize);
    at += kDeltaHashSize;
    memcpy(header->resultSha256, at, kDeltaHashSize);
    at += kDeltaHashSize;
    header->resultSize = 0;
    for (int i = 0; i < 8; ++i)
        header->resultSize |= uint64_t(at[i]) << (8 * i);
    return true;
}

const char* DeltaTargetName(const char* name) {
    const size_t length = sizeof kDeltaEntryPrefix - 1;
    return strncmp(name, kDeltaEntryPrefix, length) == 0 ? name + length : nullptr;
}
