// FileService: handing files out as streams and memory files.
#include "core/files/FileService.h"

#include "core/files/FileStream.h"
#include "core/files/MemoryFile.h"

#include <cstdio>
#include <cstring>

namespace {
// Streams take data offsets as signed 32-bit values.
bool RangeAddressable(const PackEntry& entry) {
    return uint64_t(entry.offset) + entry.size <= 0x7FFFFFFFu;
}

// A new memory file with count bytes from the stream's position, or null.
MemoryFile* LoadFrom(FileStream* stream, uint32_t count, bool chunked) {
    MemoryFile* file = MemoryFile::Create();
    if (file && !file->Load(stream, count, chunked)) {
        file->Release();
        return nullptr;
    }
    return file;
}
} // namespace

FileStream* FileService::OpenFile(const char* name, const char* extension, const char* sourceFile,
                                  int32_t sourceLine) {
    const PackEntry* entry = FindFile(name, extension, nullptr);
    if (!entry)
        return nullptr;
    Record(name, extension);
    if (entry->size == 0)
        return OpenPlainFile(entry->path, ReadBinary, sourceFile, sourceLine);
    if (!RangeAddressable(*entry))
        return nullptr;
    FileStream* file = FileStream::Create();
    if (file && !file->OpenRange(entry->path, int32_t(entry->offset), entry->size, sourceFile,
                                 sourceLine)) {
        file->Close();
        return nullptr;
    }
    return file;
}

MemoryFile* FileService::LoadMemoryFile(const char* name, const char* extension, bool chunked,
                                        const char* sourceFile, int32_t sourceLine) {
    int32_t slotIndex = 0;
    const PackEntry* entry = FindFile(name, extension, &slotIndex);
    if (!entry)
        return nullptr;
    Record(name, extension);
    if (entry->size == 0)
        return LoadPlainMemoryFile(entry->path, chunked, sourceFile, sourceLine);
    MountSlot* slot = &slots[slotIndex];
    FileStream* stream = PositionSlot(slot, *entry);
    MemoryFile* file = stream ? LoadFrom(stream, entry->size, chunked) : nullptr;
    // A failed read leaves the stream somewhere unknown.
    slot->lastPosition = file ? int32_t(entry->offset + entry->size) : -1;
    return file;
}

FileStream* FileService::PositionSlot(MountSlot* slot, const PackEntry& entry) {
    if (!RangeAddressable(entry))
        return nullptr;
    // Tables from an index, or ranges added by AddFile, come without an open data file.
    if (!slot->stream || strcmp(slot->stream->GetPath(), entry.path) != 0) {
        if (slot->stream)
            slot->stream->Close();
        slot->stream = OpenPlainFile(entry.path, ReadBinary, __FILE__, __LINE__);
        slot->lastPosition = 0;
        if (!slot->stream)
            return nullptr;
    }
    // Ranges from an index or AddFile were never checked against the file: do not allocate
    // for data it cannot hold.
    if (uint64_t(entry.offset) + entry.size > slot->stream->GetSize())
        return nullptr;
    if (slot->lastPosition != int32_t(entry.offset) &&
        slot->stream->Seek(int32_t(entry.offset), SEEK_SET) != 0)
        return nullptr;
    return slot->stream;
}

FileStream* FileService::OpenPlainFile(const char* path, int32_t mode, const char* sourceFile,
                                       int32_t sourceLine) {
    FileStream* file = FileStream::Create();
    if (file && !file->Open(path, mode, sourceFile, sourceLine)) {
        file->Close();
        return nullptr;
    }
    return file;
}

MemoryFile* FileService::LoadPlainMemoryFile(const char* path, bool chunked, const char* sourceFile,
                                             int32_t sourceLine) {
    FileStream* stream = OpenPlainFile(path, ReadBinary, sourceFile, sourceLine);
    if (!stream)
        return nullptr;
    MemoryFile* file = LoadFrom(stream, stream->GetSize(), chunked);
    stream->Close();
    return file;
}
