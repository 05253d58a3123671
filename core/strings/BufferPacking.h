// Packing of 32-bit values into byte buffers, most significant byte first whatever the host's
// order. Writers take a buffer and an offset they advance; readers take a cursor they advance.
// The caller sizes the buffer; nothing here checks bounds.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

void ByteSwap32(uint32_t* value);

void BufWriteBytes(uint8_t* buffer, uint32_t* offset, const void* source, uint32_t length);

// Copies exactly length bytes of text; the caller's text must hold that many.
void BufWriteText(uint8_t* buffer, uint32_t* offset, const char* text, uint32_t length);

// Returns the offset and advances it by length, leaving the bytes for a later write.
uint32_t BufReserve(uint32_t* offset, uint32_t length);

// Any 4-byte plain value (int32_t, uint32_t, float) is stored by its bit pattern.
template <typename T>
void BufWrite32(uint8_t* buffer, uint32_t* offset, T value) {
    static_assert(sizeof(T) == 4 && std::is_trivially_copyable<T>::value, "32-bit values only");
    uint32_t bits;
    memcpy(&bits, &value, 4);
    uint8_t* target = buffer + *offset;
    target[0] = uint8_t(bits >> 24);
    target[1] = uint8_t(bits >> 16);
    target[2] = uint8_t(bits >> 8);
    target[3] = uint8_t(bits);
    *offset += 4;
}

template <typename T>
void BufWrite32x3(uint8_t* buffer, uint32_t* offset, const T* values) {
    for (int i = 0; i < 3; ++i)
        BufWrite32(buffer, offset, values[i]);
}

template <typename T>
void BufWrite32x4(uint8_t* buffer, uint32_t* offset, const T* values) {
    for (int i = 0; i < 4; ++i)
        BufWrite32(buffer, offset, values[i]);
}

template <typename T>
void BufRead32(const uint8_t** cursor, T* value) {
    static_assert(sizeof(T) == 4 && std::is_trivially_copyable<T>::value, "32-bit values only");
    const uint8_t* source = *cursor;
    const uint32_t bits = uint32_t(source[0]) << 24 | uint32_t(source[1]) << 16 |
                          uint32_t(source[2]) << 8 | uint32_t(source[3]);
    memcpy(value, &bits, 4);
    *cursor += 4;
}

template <typename T>
void BufRead32x3(const uint8_t** cursor, T* values) {
    for (int i = 0; i < 3; ++i)
        BufRead32(cursor, &values[i]);
}

template <typename T>
void BufRead32x4(const uint8_t** cursor, T* values) {
    for (int i = 0; i < 4; ++i)
        BufRead32(cursor, &values[i]);
}
