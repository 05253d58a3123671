#include "updater/DownloadBuffer.h"

#include <cstdlib>
#include <cstring>

bool DownloadBufferCreate(DownloadBuffer* buffer, const std::atomic<bool>* cancel, uint32_t limit) {
    buffer->data = static_cast<char*>(malloc(1));
    buffer->size = 0;
    buffer->capacity = buffer->data ? 1 : 0;
    buffer->cancel = cancel;
    buffer->limit = limit < kDownloadBufferMaxBytes ? limit : kDownloadBufferMaxBytes;
    if (!buffer->data)
        return false;
    buffer->data[0] = '\0';
    return true;
}

void DownloadBufferClear(DownloadBuffer* buffer) {
    buffer->size = 0;
    buffer->data[0] = '\0';
}

void DownloadBufferRelease(DownloadBuffer* buffer) {
    free(buffer->data);
    buffer->data = nullptr;
    buffer->size = 0;
    buffer->capacity = 0;
}

size_t AppendToBuffer(void* piece, size_t itemSize, size_t itemCount, void* target) {
    DownloadBuffer* buffer = static_cast<DownloadBuffer*>(target);
    if (buffer->cancel && buffer->cancel->load(std::memory_order_relaxed))
        return 0;
    const uint64_t count = uint64_t(itemSize) * itemCount;
    if (itemSize && count / itemSize != itemCount)
        return 0;
    if (count > uint64_t(buffer->limit) - buffer->size)
        return 0;
    const uint32_t needed = buffer->size + uint32_t(count) + 1;
    if (needed > buffer->capacity) {
        uint64_t grown = uint64_t(buffer->capacity) + buffer->capacity / 2;
        if (grown < needed)
            grown = needed;
        if (grown > UINT32_MAX)
            grown = UINT32_MAX;
        char* data = static_cast<char*>(realloc(buffer->data, size_t(grown)));
        if (!data)
            return 0;
        buffer->data = data;
        buffer->capacity = uint32_t(grown);
    }
    memcpy(buffer->data + buffer->size, piece, size_t(count));
    buffer->size += uint32_t(count);
    buffer->data[buffer->size] = '\0';
    return size_t(count);
}
