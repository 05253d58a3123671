#include "updater/DeltaPatch.h"

#include "core/platform/FilePosition.h"
#include "core/strings/BoundedText.h"
#include "updater/DeltaEntry.h"
#include "updater/PackageHash.h"
#include "updater/PackageSteps.h"
#include "updater/UpdateJournal.h"

#include <librsync.h>
#include <sodium.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr size_t kBlock = 1 << 20;
// The installation directory's path takes at most this, as the launcher reads it.
constexpr size_t kPathBytes = 260;

// Reads exactly size bytes of the open entry.
bool ReadExactly(unzFile archive, uint8_t* data, size_t size) {
    while (size > 0) {
        const int count = unzReadCurrentFile(archive, data, unsigned(size));
        if (count <= 0)
            return false;
        data += count;
        size -= size_t(count);
    }
    return true;
}

bool ReadHeader(unzFile archive, DeltaHeader* header) {
    uint8_t bytes[kDeltaHeaderSize];
    return ReadExactly(archive, bytes, sizeof bytes) && DeltaHeaderRead(bytes, header);
}

bool FileHashIs(const char* path, const uint8_t (&expected)[kDeltaHashSize]) {
    uint8_t hash[crypto_hash_sha256_BYTES];
    return FileSha256(path, hash) && sodium_memcmp(hash, expected, sizeof hash) == 0;
}

// librsync's reader of the basis: 64-bit positions, so that a file past 2 GiB reads on every
// target. A position past the end is a delta that does not fit the file.
rs_result CopyFromBasis(void* opaque, rs_long_t position, size_t* length, void** buffer) {
    FILE* basis = static_cast<FILE*>(opaque);
    if (position < 0 || PlatformFileSeek(basis, int64_t(position), SEEK_SET) != 0)
        return RS_IO_ERROR;
    const size_t count = fread(*buffer, 1, *length, basis);
    if (count == 0)
        return ferror(basis) ? RS_IO_ERROR : RS_INPUT_ENDED;
    *length = count;
    return RS_DONE;
}

void IgnoreTrace(rs_loglevel, const char*) {}

struct Patch {
    FILE* basis = nullptr;
    FILE* out = nullptr;
    rs_job_t* job = nullptr;
    ~Patch() {
        if (job)
            rs_job_free(job);
        if (basis)
            fclose(basis);
        if (out)
            fclose(out);
    }
};

// Runs the patch job over the rest of the entry. True when the delta ended where the entry
// does and the result has the header's size and hash.
bool RunPatch(unzFile archive, Patch* patch, const DeltaHeader& header,
              std::atomic<float>* extracted) {
    std::unique_ptr<char[]> in(new (std::nothrow) char[kBlock]);
    std::unique_ptr<char[]> out(new (std::nothrow) char[kBlock]);
    if (!in || !out)
        return false;
    PackageHasher hasher;
    PackageHasherStart(&hasher);
    rs_buffers_t buffers{};
    buffers.next_in = in.get();
    for (;;) {
        int count = 0;
        if (!buffers.eof_in && buffers.avail_in < kBlock) {
            memmove(in.get(), buffers.next_in, buffers.avail_in);
            buffers.next_in = in.get();
            count = unzReadCurrentFile(archive, in.get() + buffers.avail_in,
                                       unsigned(kBlock - buffers.avail_in));
            if (count < 0)
                return false;
            buffers.avail_in += size_t(count);
            buffers.eof_in = count == 0;
        }
        buffers.next_out = out.get();
        buffers.avail_out = kBlock;
        const size_t given = buffers.avail_in;
        const rs_result result = rs_job_iter(patch->job, &buffers);
        const size_t produced = kBlock - buffers.avail_out;
        PackageHasherAdd(&hasher, out.get(), produced);
        if (hasher.bytes > header.resultSize ||
            fwrite(out.get(), 1, produced, patch->out) != produced)
            return false;
        // The package's total counts what deltas make, so progress does too.
        AddExtracted(extracted, produced);
        if (result == RS_DONE)
            break;
        // A round in which nothing was read, taken or given would repeat forever: a delta cut
        // short, or one that does not parse.
        const bool stuck = count == 0 && produced == 0 && buffers.avail_in == given;
        if (result != RS_BLOCKED || stuck)
            return false;
    }
    uint8_t hash[crypto_hash_sha256_BYTES];
    PackageHasherFinish(&hasher, hash);
    char rest;
    return buffers.avail_in == 0 &&
           (buffers.eof_in || unzReadCurrentFile(archive, &rest, 1) == 0) &&
           hasher.bytes == header.resultSize &&
           sodium_memcmp(hash, header.resultSha256, sizeof hash) == 0;
}

} // namespace

bool DeltaResultSize(unzFile archive, uint64_t* size) {
    DeltaHeader header;
    if (unzOpenCurrentFile(archive) != UNZ_OK)
        return false;
    const bool read = ReadHeader(archive, &header);
    unzCloseCurrentFile(archive);
    if (read)
        *size = header.resultSize;
    return read;
}

DeltaOutcome ApplyDeltaEntry(unzFile archive, const char* basisPath, const char* target,
                             std::atomic<float>* extracted) {
    // The outcome says what went wrong; the launcher has no console for librsync's words.
    rs_trace_to(IgnoreTrace);
    DeltaHeader header;
    if (!ReadHeader(archive, &header))
        return DeltaOutcome::Failed;
    Patch patch;
    patch.basis = fopen(basisPath, "rb");
    patch.out = fopen(target, "wb");
    patch.job = patch.basis && patch.out ? rs_patch_begin(CopyFromBasis, patch.basis) : nullptr;
    if (patch.job && RunPatch(archive, &patch, header, extracted)) {
        FILE* out = patch.out;
        patch.out = nullptr;
        if (fclose(out) == 0)
            return DeltaOutcome::Applied;
    }
    // The result alone shows that the parts of the file the delta uses are right, so the whole
    // file is read for its hash only when the delta did not give it.
    return FileHashIs(basisPath, header.basisSha256) ? DeltaOutcome::Failed
                                                     : DeltaOutcome::BasisMismatch;
}

DeltaOutcome StageDeltaEntry(unzFile archive, const char* root, const char* staging, uint32_t index,
                             const char* name, char (&relative)[kEntryNameSize],
                             std::atomic<float>* extracted) {
    char basis[kPathBytes + kEntryNameSize], target[kPathBytes + sizeof kStagingFolder + 16];
    bool directory = false;
    if (!EntryRelativeName(name, relative, sizeof relative, &directory) || directory ||
        StrFormat(basis, sizeof basis, "%s/%s", root, relative) > sizeof basis ||
        !StagedFilePath(staging, index, target, sizeof target))
        return DeltaOutcome::Failed;
    return ApplyDeltaEntry(archive, basis, target, extracted);
}
