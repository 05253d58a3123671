// A transfer received into memory: libcurl's write function appends to a heap block that is
// always followed by one NUL byte.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

struct DownloadBuffer {
    char* data;    // size bytes received so far, then a NUL
    uint32_t size; // bytes received, the NUL not counted
    // Bytes allocated; grows geometrically so that a large transfer is not copied over and
    // over.
    uint32_t capacity;
    // While it reads true every further piece is refused, which ends the transfer.
    const std::atomic<bool>* cancel;
    // Most bytes it may hold; a transfer that needs more is treated as memory running out.
    uint32_t limit;
};

// The most a buffer can hold: its size and the NUL must fit the 32-bit counters.
constexpr uint32_t kDownloadBufferMaxBytes = UINT32_MAX - 1;

// Starts a buffer as a 1-byte block holding the NUL. False when even that cannot be had.
bool DownloadBufferCreate(DownloadBuffer* buffer, const std::atomic<bool>* cancel,
                          uint32_t limit = kDownloadBufferMaxBytes);
// Forgets the bytes received and keeps the block.
void DownloadBufferClear(DownloadBuffer* buffer);
// Frees the block; the buffer may be created again.
void DownloadBufferRelease(DownloadBuffer* buffer);

// libcurl write function (CURLOPT_WRITEFUNCTION with the buffer as CURLOPT_WRITEDATA):
// appends itemSize * itemCount bytes and returns that count. Returns 0, which makes libcurl
// fail the transfer, when memory runs out, the total would pass the buffer's limit or its
// cancel flag is set; the bytes held so far stay as they were.
size_t AppendToBuffer(void* piece, size_t itemSize, size_t itemCount, void* buffer);
