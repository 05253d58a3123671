#include "updater/ZipRecords.h"

#include <initializer_list>

namespace {
constexpr uint16_t kZip64Field = 0x0001;
} // namespace

bool ZipReadZip64Values(const uint8_t* extra, size_t length, uint64_t* size, uint64_t* compressed,
                        uint64_t* offset) {
    const uint8_t* values = nullptr;
    size_t valuesLength = 0;
    for (size_t at = 0; at + 4 <= length;) {
        const size_t fieldLength = ZipRead16(extra + at + 2);
        if (at + 4 + fieldLength > length)
            break;
        if (ZipRead16(extra + at) == kZip64Field) {
            values = extra + at + 4;
            valuesLength = fieldLength;
            break;
        }
        at += 4 + fieldLength;
    }
    size_t used = 0;
    for (uint64_t* value : {size, compressed, offset}) {
        if (!value || *value != kZip64Marker)
            continue;
        if (!values || used + 8 > valuesLength)
            return false;
        *value = ZipRead64(values + used);
        used += 8;
    }
    return true;
}
