#include "tools/release/PackageWriter.h"

#include "updater/RemovalRecord.h"

#include <minizip/zip.h>
#include <zlib.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr size_t kBlock = 1 << 20;
constexpr int kLevel = Z_BEST_COMPRESSION;
// Entries this large get zip64 sizes; below it the classic 32-bit fields with room to spare
// for deflate's worst-case growth.
constexpr uint64_t kZip64From = 0xFFFF0000u;
// 1980-01-01, the earliest date a zip entry holds: the same tree gives the same archive.
constexpr uLong kDosDate = (1u << 21) | (1u << 16);
constexpr uLong kDosDirectory = 0x10;

// Bytes that raw deflate at kLevel makes of data, as the archive writer would.
uLong DeflatedSize(const char* data, size_t size) {
    z_stream stream{};
    if (deflateInit2(&stream, kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return uLong(-1);
    std::vector<Bytef> out(deflateBound(&stream, uLong(size)));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream.avail_in = uInt(size);
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    const uLong total = stream.total_out;
    deflateEnd(&stream);
    return done ? total : uLong(-1);
}

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

// Opens the entry for name and copies the file into it; its first block decides the method.
bool AddFile(zipFile archive, const std::string& root, const PackedFile& file, char* block,
             ProgressLine* progress, PackageSummary* summary, std::string* error) {
    const std::string path = root + "/" + file.name;
    FILE* in = fopen(path.c_str(), "rb");
    if (!in)
        return Fail(error, "cannot read " + path);
    size_t count = fread(block, 1, kBlock, in);
    const bool store = count == 0 || DeflatedSize(block, count) >= count;
    zip_fileinfo info{};
    info.dosDate = kDosDate;
    bool ok = zipOpenNewFileInZip64(archive, file.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                    nullptr, store ? 0 : Z_DEFLATED, store ? 0 : kLevel,
                                    file.size >= kZip64From) == ZIP_OK;
    uint64_t total = 0;
    while (ok && count > 0) {
        ok = zipWriteInFileInZip(archive, block, unsigned(count)) == ZIP_OK;
        total += count;
        progress->AddBytes(count);
        count = fread(block, 1, kBlock, in);
    }
    const bool readFine = !ferror(in);
    fclose(in);
    ok = zipCloseFileInZip(archive) == ZIP_OK && ok;
    if (!readFine)
        return Fail(error, "cannot read " + path);
    if (total != file.size)
        return Fail(error, path + " changed while it was packed");
    if (!ok)
        return Fail(error, "cannot write the archive");
    progress->AddFile();
    summary->stored += store;
    summary->bytes += total;
    return true;
}

bool AddDirectory(zipFile archive, const std::string& name) {
    zip_fileinfo info{};
    info.dosDate = kDosDate;
    info.external_fa = kDosDirectory;
    const std::string entry = name + "/";
    return zipOpenNewFileInZip64(archive, entry.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0,
                                 0, 0) == ZIP_OK &&
           zipCloseFileInZip(archive) == ZIP_OK;
}

// The files the new version dropped, for the launcher to remove.
bool AddRemovalRecord(zipFile archive, const std::vector<std::string>& removed) {
    const std::string text = RemovalRecordText(removed);
    zip_fileinfo info{};
    info.dosDate = kDosDate;
    info.external_fa = kDosDirectory;
    return zipOpenNewFileInZip64(archive, kRemovalRecordName, &info, nullptr, 0, nullptr, 0,
                                 nullptr, Z_DEFLATED, kLevel, 0) == ZIP_OK &&
           zipWriteInFileInZip(archive, text.data(), unsigned(text.size())) == ZIP_OK &&
           zipCloseFileInZip(archive) == ZIP_OK;
}

} // namespace

bool WritePackage(const std::string& zipPath, const std::string& root, const TreeChanges& changes,
                  ProgressLine* progress, PackageSummary* summary, std::string* error,
                  const DeltaSet* deltas) {
    zipFile archive = zipOpen64(zipPath.c_str(), APPEND_STATUS_CREATE);
    if (!archive)
        return Fail(error, "cannot create " + zipPath);
    std::unique_ptr<char[]> block(new char[kBlock]);
    bool ok = true;
    // Both are sorted by name, and every delta is of one of the files.
    size_t next = 0;
    for (size_t i = 0; ok && i < changes.files.size(); ++i) {
        if (deltas && next < deltas->deltas.size() &&
            deltas->deltas[next].name == changes.files[i].name) {
            if (!(ok =
                      AddDeltaEntry(archive, *deltas, deltas->deltas[next++], block.get(), kBlock)))
                *error = "cannot write " + zipPath;
            continue;
        }
        ok = AddFile(archive, root, changes.files[i], block.get(), progress, summary, error);
    }
    for (size_t i = 0; ok && i < changes.emptyDirs.size(); ++i)
        if (!(ok = AddDirectory(archive, changes.emptyDirs[i])))
            *error = "cannot write " + zipPath;
    if (ok && !changes.removed.empty() && !AddRemovalRecord(archive, changes.removed))
        ok = Fail(error, "cannot write " + zipPath);
    if (zipClose(archive, nullptr) != ZIP_OK && ok) {
        ok = false;
        *error = "cannot write " + zipPath;
    }
    if (!ok) {
        remove(zipPath.c_str());
        return false;
    }
    summary->entries = changes.files.size() + changes.emptyDirs.size() + !changes.removed.empty();
    return true;
}
