#include "core/files/FileStream.h"

#include "core/platform/FilePosition.h"
#include "core/platform/FileSize.h"
#include "core/strings/BoundedText.h"

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {
constexpr int kAttempts = 5;
constexpr size_t kLineSize = 1024;

const char* StdioMode(int32_t mode) {
    switch (mode) {
    case ReadBinary:
        return "rb";
    case WriteText:
        return "w";
    default:
        return "wb";
    }
}

FILE* OpenWithRetries(const char* path, const char* mode) {
    FILE* stream = nullptr;
    for (int attempt = 0; attempt < kAttempts && !stream; ++attempt)
        stream = fopen(path, mode);
    return stream;
}
} // namespace

FileStream* FileStream::Create() {
    return static_cast<FileStream*>(calloc(1, sizeof(FileStream)));
}

bool FileStream::Open(const char* path, int32_t mode, const char*, int32_t) {
    StrCopy(this->path, sizeof this->path, path);
    base = 0;
    size = 0;
    stream = OpenWithRetries(path, StdioMode(mode));
    // A file opened for writing is empty; one opened for reading must be data that fits.
    if (!stream || mode != ReadBinary)
        return stream != nullptr;
    uint64_t length = 0;
    if (!PlatformRegularFileSize(stream, &length) || length > UINT32_MAX) {
        fclose(stream);
        stream = nullptr;
        return false;
    }
    size = uint32_t(length);
    return true;
}

bool FileStream::OpenRange(const char* path, int32_t base, uint32_t size, const char*, int32_t) {
    StrCopy(this->path, sizeof this->path, path);
    this->base = base;
    this->size = size;
    stream = OpenWithRetries(path, "rb");
    uint64_t length = 0;
    if (stream && !PlatformRegularFileSize(stream, &length)) {
        fclose(stream);
        stream = nullptr;
    }
    if (!stream)
        return false;
    Seek(0, SEEK_SET);
    return true;
}

int32_t FileStream::Read(void* buffer, uint32_t length, int32_t) {
    // The count of a longer read would not fit the result.
    if (!stream || length > INT32_MAX)
        return -1;
    const int64_t position = PlatformFileTell(stream);
    if (position < 0)
        return -1;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const size_t read = fread(buffer, 1, length, stream);
        if (!ferror(stream))
            return int32_t(read);
        PlatformFileSeek(stream, position, SEEK_SET);
    }
    return -1;
}

bool FileStream::ReadAll(void* buffer, uint32_t length) {
    if (length == 0)
        return true;
    const int32_t read = Read(buffer, length, 1);
    return read >= 0 && uint32_t(read) == length;
}

int32_t FileStream::ReadString(char* destination) {
    char work[kMaxStringLength + 1];
    int32_t length = 0;
    // One byte more than the longest string, so that its terminator is read with it.
    while (length <= kMaxStringLength) {
        char c;
        const int32_t read = Read(&c, 1, 1);
        if (read < 0)
            return -1;
        if (read == 0 || c == '\0')
            break;
        if (length == kMaxStringLength) {
            // A longer run goes on in the next string.
            ungetc(static_cast<unsigned char>(c), stream);
            break;
        }
        work[length++] = c;
    }
    work[length] = '\0';
    StrCopy(destination, kMaxStringLength + 1, work);
    return length;
}

bool FileStream::Write(const void* buffer, uint32_t length) {
    if (!stream)
        return false;
    if (length == 0)
        return true;
    const int64_t position = PlatformFileTell(stream);
    if (position < 0)
        return false;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (fwrite(buffer, 1, length, stream) == length)
            return true;
        PlatformFileSeek(stream, position, SEEK_SET);
    }
    return false;
}

int32_t FileStream::Seek(int32_t offset, int32_t origin) {
    if (!stream)
        return -1;
    return PlatformFileSeek(stream, int64_t(offset) + base, origin);
}

void FileStream::Close() {
    if (stream)
        fclose(stream);
    free(this);
}

void FilePrintLine(FileStream* file, const char* format, ...) {
    if (!file || !file->stream)
        return;
    char line[kLineSize];
    va_list arguments;
    va_start(arguments, format);
    const int written = vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (written < 0)
        line[0] = '\0';
    fprintf(file->stream, "%s", line);
    fputs("\n", file->stream);
}
