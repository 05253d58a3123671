// The core library's file object: a stdio stream with a base offset and a size, so that one
// record serves for a plain file and for one entry inside a pack data file.
//
// A plain record: create it with FileStream::Create (zero-filled), open it once with Open or
// OpenRange, and end it with Close, which closes the stream and frees the record. Every
// operation on a record whose open failed reports failure and touches nothing.
#pragma once

#include <cstdint>
#include <cstdio>

enum FileOpenMode : int32_t {
    ReadBinary = 0,  // "rb"
    WriteBinary = 1, // "wb"; also every mode other than 0 and 2
    WriteText = 2,   // "w"
};

struct FileStream {
    static constexpr int kPathSize = 256;
    static constexpr int kMaxStringLength = 511;

    FILE* stream;
    int32_t base;
    uint32_t size;
    char path[kPathSize];

    // A zero-filled record on the heap, or null when memory is short.
    static FileStream* Create();

    // Opens path (cut to 255 characters) in the given mode, trying up to five times. The size
    // is the file's length at open (0 for a file opened for writing). For reading, a directory
    // or device and a file of 4 GiB or more are refused. sourceFile and sourceLine name the
    // caller and are not used.
    bool Open(const char* path, int32_t mode, const char* sourceFile, int32_t sourceLine);
    // Opens path (a regular file) for binary reading as the window of size bytes starting at
    // byte base.
    bool OpenRange(const char* path, int32_t base, uint32_t size, const char* sourceFile,
                   int32_t sourceLine);

    char* GetPath() { return path; }
    uint32_t GetSize() const { return size; }

    // Reads up to length bytes (five attempts on a stream error). Returns the count read, 0 at
    // the end, or -1, also for a length above INT32_MAX. count is accepted for callers' sake and
    // not used. Windows do not limit reads: callers of a ranged file keep within base ..
    // base + size themselves.
    int32_t Read(void* buffer, uint32_t length, int32_t count);
    // Reads exactly length bytes; false on a read error or an early end.
    bool ReadAll(void* buffer, uint32_t length);
    // Reads one NUL-terminated string of at most 511 characters into destination (512 bytes);
    // the end of the file also ends it. Returns its length, or -1 on a read error.
    int32_t ReadString(char* destination);
    // Writes all length bytes (five attempts). A length of 0 succeeds.
    bool Write(const void* buffer, uint32_t length);
    // Seeks to offset + base from the stdio origin (0 start, 1 current, 2 end); base is added
    // for every origin. 0 on success, non-zero on failure, -1 with no open stream.
    int32_t Seek(int32_t offset, int32_t origin);
    // Closes the stream, if any, and frees the record.
    void Close();
};

// Writes one printf-formatted line (cut at 1023 characters) and a newline. A '%' in the
// formatted text is written as it is. Nothing is flushed and the results are not examined.
void FilePrintLine(FileStream* file, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
