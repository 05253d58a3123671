#include "core/files/FileStream.h"

#include "core/strings/BoundedText.h"

#include <cstdarg>
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
    if (!stream)
        return false;
    fseek(stream, 0, SEEK_END);
    const long end = ftell(stream);
    size = end < 0 ? 0 : uint32_t(end);
    fseek(stream, 0, SEEK_SET);
    return true;
}

bool FileStream::OpenRange(const char* path, int32_t base, uint32_t size, const char*, int32_t) {
    StrCopy(this->path, sizeof this->path, path);
    this->base = base;
    this->size = size;
    stream = OpenWithRetries(path, "rb");
    if (!stream)
        return false;
    Seek(0, SEEK_SET);
    return true;
}

int32_t FileStream::Read(void* buffer, uint32_t length, int32_t) {
    if (!stream)
        return -1;
    const long position = ftell(stream);
    if (position < 0)
        return -1;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const size_t read = fread(buffer, 1, length, stream);
        if (!ferror(stream))
            return int32_t(read);
        fseek(stream, position, SEEK_SET);
    }
    return -1;
}

int32_t FileStream::ReadString(char* destination) {
    char work[kMaxStringLength + 1];
    int32_t length = 0;
    while (length < kMaxStringLength) {
        char c;
        const int32_t read = Read(&c, 1, 1);
        if (read < 0)
            return -1;
        if (read == 0 || c == '\0')
            break;
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
    const long position = ftell(stream);
    if (position < 0)
        return false;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (fwrite(buffer, 1, length, stream) == length)
            return true;
        fseek(stream, position, SEEK_SET);
    }
    return false;
}

int32_t FileStream::Seek(int32_t offset, int32_t origin) {
    if (!stream)
        return -1;
    return fseek(stream, long(offset) + base, origin);
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
