#include "core/strings/BufferPacking.h"

void ByteSwap32(uint32_t* value) {
    const uint32_t v = *value;
    *value = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

void BufWriteBytes(uint8_t* buffer, uint32_t* offset, const void* source, uint32_t length) {
    memcpy(buffer + *offset, source, length);
    *offset += length;
}

void BufWriteText(uint8_t* buffer, uint32_t* offset, const char* text, uint32_t length) {
    BufWriteBytes(buffer, offset, text, length);
}

uint32_t BufReserve(uint32_t* offset, uint32_t length) {
    const uint32_t old = *offset;
    *offset += length;
    return old;
}
