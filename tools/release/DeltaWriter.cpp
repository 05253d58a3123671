#include "tools/release/DeltaWriter.h"

#include "core/platform/FilePosition.h"
#include "updater/PackageHash.h"

#include <librsync.h>
#include <zlib.h>

#include <memory>

namespace {

constexpr size_t kBlock = 1 << 20;
// Entries this large get zip64 sizes, as in the package writer.
constexpr uint64_t kZip64From = 0xFFFF0000u;
constexpr uLong kDosDate = (1u << 21) | (1u << 16);
// Small blocks find the unchanged data closest around each change: on a 256 MB pack with 2.7 MB
// of new bytes the delta is 2.8 MB with these, 3.6 MB with librsync's choice for the size
// (16 KB). The signature, which only this tool holds, takes 36 bytes a block.
constexpr size_t kSignatureBlock = 2048;

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

// What deflate makes of the file at path, counted and thrown away; the fast level, so that the
// estimate errs towards the file and a delta must beat it clearly.
bool DeflatedFileSize(const std::string& path, char* block, uint64_t* size) {
    FILE* in = fopen(path.c_str(), "rb");
    if (!in)
        return false;
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        fclose(in);
        return false;
    }
    std::unique_ptr<Bytef[]> out(new Bytef[kBlock]);
    int flush = Z_NO_FLUSH, result = Z_OK;
    while (result == Z_OK) {
        if (stream.avail_in == 0 && flush == Z_NO_FLUSH) {
            stream.avail_in = uInt(fread(block, 1, kBlock, in));
            stream.next_in = reinterpret_cast<Bytef*>(block);
            flush = stream.avail_in == 0 ? Z_FINISH : Z_NO_FLUSH;
        }
        stream.next_out = out.get();
        stream.avail_out = uInt(kBlock);
        result = deflate(&stream, flush);
        if (result == Z_BUF_ERROR)
            result = Z_OK;
    }
    *size = stream.total_out;
    deflateEnd(&stream);
    const bool read = !ferror(in);
    fclose(in);
    return read && result == Z_STREAM_END;
}

// Appends the librsync delta from oldPath to newPath to scratch, through a signature file at
// signaturePath.
bool WriteDelta(const std::string& oldPath, const std::string& newPath,
                const std::string& signaturePath, FILE* scratch) {
    FILE* old = fopen(oldPath.c_str(), "rb");
    FILE* signature = old ? fopen(signaturePath.c_str(), "w+b") : nullptr;
    rs_magic_number magic = RS_RK_BLAKE2_SIG_MAGIC;
    size_t blockLength = kSignatureBlock, strongLength = 0;
    bool ok = signature &&
              rs_sig_args(rs_file_size(old), &magic, &blockLength, &strongLength) == RS_DONE &&
              rs_sig_file(old, signature, blockLength, strongLength, magic, nullptr) == RS_DONE;
    if (old)
        fclose(old);
    rs_signature_t* sums = nullptr;
    ok = ok && PlatformFileSeek(signature, 0, SEEK_SET) == 0 &&
         rs_loadsig_file(signature, &sums, nullptr) == RS_DONE &&
         rs_build_hash_table(sums) == RS_DONE;
    if (signature)
        fclose(signature);
    remove(signaturePath.c_str());
    FILE* in = ok ? fopen(newPath.c_str(), "rb") : nullptr;
    ok = in && rs_delta_file(sums, in, scratch, nullptr) == RS_DONE && fflush(scratch) == 0;
    if (in)
        fclose(in);
    if (sums)
        rs_free_sumset(sums);
    return ok;
}

} // namespace

bool MakeDeltas(const std::string& oldDir, const std::string& newDir, const TreeChanges& changes,
                const std::string& scratchPath, ProgressLine* progress, DeltaSet* set,
                std::string* error) {
    set->scratchPath = scratchPath;
    set->scratch = fopen(scratchPath.c_str(), "w+b");
    if (!set->scratch)
        return Fail(error, "cannot write " + scratchPath);
    std::unique_ptr<char[]> block(new char[kBlock]);
    for (const PackedFile& file : changes.files) {
        const std::string oldPath = oldDir + "/" + file.name, newPath = newDir + "/" + file.name;
        FILE* probe = fopen(oldPath.c_str(), "rb");
        if (!probe)
            continue;
        fclose(probe);
        PackedDelta delta{file.name, {}, uint64_t(PlatformFileTell(set->scratch)), 0};
        uint64_t deflated = 0;
        if (!FileSha256(oldPath.c_str(), delta.header.basisSha256) ||
            !FileSha256(newPath.c_str(), delta.header.resultSha256) ||
            !DeflatedFileSize(newPath, block.get(), &deflated))
            return Fail(error, "cannot read " + oldPath + " or " + newPath);
        if (!WriteDelta(oldPath, newPath, scratchPath + ".sig", set->scratch))
            return Fail(error, "cannot make the delta of " + newPath + " in " + scratchPath);
        delta.header.resultSize = file.size;
        delta.size = uint64_t(PlatformFileTell(set->scratch)) - delta.offset;
        if (double(delta.size) <= kDeltaShare * double(deflated))
            set->deltas.push_back(delta);
        else if (PlatformFileSeek(set->scratch, int64_t(delta.offset), SEEK_SET) != 0)
            return Fail(error, "cannot write " + scratchPath);
        progress->AddFile();
    }
    return true;
}

void DeltaSetRelease(DeltaSet* set) {
    if (set->scratch) {
        fclose(set->scratch);
        remove(set->scratchPath.c_str());
    }
    set->scratch = nullptr;
}

bool AddDeltaEntry(zipFile archive, const DeltaSet& set, const PackedDelta& delta, char* block,
                   size_t blockSize) {
    uint8_t header[kDeltaHeaderSize];
    DeltaHeaderWrite(delta.header, header);
    const std::string name = kDeltaEntryPrefix + delta.name;
    zip_fileinfo info{};
    info.dosDate = kDosDate;
    bool ok = zipOpenNewFileInZip64(archive, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                    Z_DEFLATED, Z_BEST_COMPRESSION,
                                    delta.size + sizeof header >= kZip64From) == ZIP_OK &&
              zipWriteInFileInZip(archive, header, unsigned(sizeof header)) == ZIP_OK &&
              PlatformFileSeek(set.scratch, int64_t(delta.offset), SEEK_SET) == 0;
    for (uint64_t left = delta.size; ok && left > 0;) {
        const size_t want = size_t(std::min<uint64_t>(left, blockSize));
        ok = fread(block, 1, want, set.scratch) == want &&
             zipWriteInFileInZip(archive, block, unsigned(want)) == ZIP_OK;
        left -= want;
    }
    return zipCloseFileInZip(archive) == ZIP_OK && ok;
}
