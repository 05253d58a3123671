#include "core/files/MemoryFile.h"

#include "core/files/FileStream.h"
#include "core/files/PackFormat.h"

#include <cstdlib>
#include <cstring>

MemoryFile* MemoryFile::Create() {
    return static_cast<MemoryFile*>(calloc(1, sizeof(MemoryFile)));
}

bool MemoryFile::Load(FileStream* stream, uint32_t count, bool chunked) {
    FreeBuffers();
    size = count;
    chunkIndex = 0;
    chunkOffset = 0;
    if (!chunked) {
        data = static_cast<uint8_t*>(calloc(count ? count : 1, 1));
        return data && stream->ReadAll(data, count);
    }
    chunkSize = kChunkSize;
    const int32_t wanted = int32_t(count / kChunkSize + (count % kChunkSize ? 1 : 0));
    chunks = static_cast<uint8_t**>(calloc(wanted ? wanted : 1, sizeof(uint8_t*)));
    if (!chunks)
        return false;
    uint32_t left = count;
    while (chunkCount < wanted) {
        uint8_t* chunk = static_cast<uint8_t*>(calloc(kChunkSize, 1));
        if (!chunk)
            return false;
        chunks[chunkCount++] = chunk;
        const uint32_t part = left < uint32_t(kChunkSize) ? left : uint32_t(kChunkSize);
        if (!stream->ReadAll(chunk, part))
            return false;
        left -= part;
    }
    return true;
}

bool MemoryFile::Seek(int32_t position) {
    if (chunkSize == 0 || position < 0 || uint32_t(position) > size)
        return false;
    chunkIndex = position / kChunkSize;
    chunkOffset = position % kChunkSize;
    return true;
}

int32_t MemoryFile::Tell() const {
    return chunkSize == 0 ? -1 : chunkIndex * kChunkSize + chunkOffset;
}

bool MemoryFile::ReadBytes(void* destination, uint32_t count) {
    if (chunkSize == 0 || count > size - uint32_t(Tell()))
        return false;
    uint8_t* out = static_cast<uint8_t*>(destination);
    while (count > 0) {
        const uint32_t room = uint32_t(kChunkSize - chunkOffset);
        const uint32_t part = count < room ? count : room;
        memcpy(out, chunks[chunkIndex] + chunkOffset, part);
        out += part;
        count -= part;
        chunkOffset += int32_t(part);
        if (chunkOffset == kChunkSize) {
            chunkOffset = 0;
            ++chunkIndex;
        }
    }
    return true;
}

bool MemoryFile::ReadSwapped(void* destination, int count) {
    uint8_t bytes[16];
    if (!ReadBytes(bytes, uint32_t(count) * 4))
        return false;
    for (int i = 0; i < count; ++i)
        PackFormat::WriteLE32(bytes + 4 * i, PackFormat::ReadBE32(bytes + 4 * i));
    memcpy(destination, bytes, size_t(count) * 4);
    return true;
}

uint32_t* MemoryFile::ReadU32(uint32_t* destination) {
    return ReadSwapped(destination, 1) ? destination : nullptr;
}

int32_t* MemoryFile::ReadS32(int32_t* destination) {
    return ReadSwapped(destination, 1) ? destination : nullptr;
}

float* MemoryFile::ReadF32(float* destination) {
    return ReadSwapped(destination, 1) ? destination : nullptr;
}

float* MemoryFile::ReadVec3(float* destination) {
    return ReadSwapped(destination, 3) ? destination : nullptr;
}

float* MemoryFile::ReadVec4(float* destination) {
    return ReadSwapped(destination, 4) ? destination : nullptr;
}

void MemoryFile::FreeBuffers() {
    for (int32_t i = 0; i < chunkCount; ++i)
        free(chunks[i]);
    free(chunks);
    free(data);
    data = nullptr;
    chunks = nullptr;
    chunkCount = 0;
    chunkSize = 0;
}

void MemoryFile::Release() {
    FreeBuffers();
    free(this);
}
