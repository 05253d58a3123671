// A file's bytes in memory: one buffer (whole-buffer form, read through GetData) or a chain of
// 16384-byte chunks (chunked form) with a read position and big-endian typed reads.
//
// A plain record like FileStream: create it with MemoryFile::Create (zero-filled), fill it once
// with Load, end it with Release, which frees the buffers and the record. Reads never go past
// size: a read that would, and Seek or a read on a whole-buffer file, fails and reads nothing.
#pragma once

#include <cstdint>

struct FileStream;

struct MemoryFile {
    static constexpr int32_t kChunkSize = 16384;

    uint32_t size;
    uint8_t* data;     // whole-buffer form; null in chunked form
    int32_t chunkSize; // 0 in whole-buffer form, kChunkSize in chunked form
    int32_t chunkCount;
    uint8_t** chunks;    // chunked form: chunkCount buffers of kChunkSize bytes each
    int32_t chunkIndex;  // read position: current chunk
    int32_t chunkOffset; // read position: offset inside it

    // A zero-filled record on the heap, or null when memory is short.
    static MemoryFile* Create();

    // Reads count bytes from the stream's current position. False when memory is short or the
    // stream gives fewer bytes than asked (an error or the end of the file); chunks read so far
    // stay allocated until Release.
    bool Load(FileStream* stream, uint32_t count, bool chunked);

    uint8_t* GetData() { return data; }
    uint32_t GetSize() const { return size; }

    // Moves the read position; false (nothing moves) beyond size or in whole-buffer form.
    bool Seek(int32_t position);
    // The read position, or -1 in whole-buffer form.
    int32_t Tell() const;
    // Copies count bytes from the read position and advances it. False, with nothing copied,
    // when that would pass size or in whole-buffer form.
    bool ReadBytes(void* destination, uint32_t count);

    // Read one big-endian 32-bit value into a host value; the typed forms differ only in the
    // destination's type. Each returns the destination, or null when the read failed (the
    // destination is then untouched).
    uint32_t* ReadU32(uint32_t* destination);
    int32_t* ReadS32(int32_t* destination);
    float* ReadF32(float* destination);
    // Three and four consecutive values, all or none.
    float* ReadVec3(float* destination);
    float* ReadVec4(float* destination);

    // Frees the buffers and the record.
    void Release();

private:
    void FreeBuffers();
    // Reads count values of 4 bytes each, swapping every one from big-endian.
    bool ReadSwapped(void* destination, int count);
};
