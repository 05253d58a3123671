#include "updater/StoredFile.h"

#include "core/files/FileStream.h"

bool StoreInFile(const char* path, const char* data, uint32_t size) {
    FileStream* file = FileStream::Create();
    if (!file)
        return false;
    bool stored = file->Open(path, WriteBinary, __FILE__, __LINE__) && file->Write(data, size);
    // A full disk often shows only when the stream's buffer is handed over.
    if (stored && fflush(file->stream) != 0)
        stored = false;
    file->Close();
    return stored;
}
