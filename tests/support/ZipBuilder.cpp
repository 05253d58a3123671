#include "tests/support/ZipBuilder.h"

#include <zlib.h>

namespace {

constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr uint16_t kUnknownMethod = 97;
constexpr uint32_t kDirectoryAttribute = 0x10;
// 2020-01-01 12:00:00 in the archive's date and time fields.
constexpr uint16_t kTime = 12 << 11;
constexpr uint16_t kDate = (40 << 9) | (1 << 5) | 1;

void Put16(std::string* out, uint32_t value) {
    out->push_back(char(value & 0xFF));
    out->push_back(char((value >> 8) & 0xFF));
}

void Put32(std::string* out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

uint32_t Crc(const std::string& data) {
    return uint32_t(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
}

// Raw deflate of data; the stream ends after data when finish is set, and is only flushed to a
// byte boundary (no end marker) when it is not.
std::string Deflate(const std::string& data, bool finish) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, uLong(data.size())) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = uInt(out.size());
    deflate(&stream, finish ? Z_FINISH : Z_FULL_FLUSH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace

ZipBuilder& ZipBuilder::File(const std::string& name, const std::string& data, bool store) {
    Add(name, store ? kStored : kDeflated, Crc(data), store ? data : Deflate(data, true),
        uint32_t(data.size()), 0);
    return *this;
}

ZipBuilder& ZipBuilder::Directory(const std::string& name) {
    Add(name, kStored, 0, std::string(), 0, kDirectoryAttribute);
    return *this;
}

ZipBuilder& ZipBuilder::DamagedFile(const std::string& name, const std::string& data,
                                    size_t goodBytes) {
    // 0xFF opens a final block of the reserved type, which every inflater rejects.
    const std::string packed = Deflate(data.substr(0, goodBytes), false) + "\xFF\xFF\xFF\xFF";
    Add(name, kDeflated, Crc(data), packed, uint32_t(data.size()), 0);
    return *this;
}

ZipBuilder& ZipBuilder::WrongCrcFile(const std::string& name, const std::string& data) {
    Add(name, kDeflated, Crc(data) ^ 0x5A5A5A5Au, Deflate(data, true), uint32_t(data.size()), 0);
    return *this;
}

ZipBuilder& ZipBuilder::ClaimedSizeFile(const std::string& name, uint32_t claimedSize) {
    Add(name, kStored, 0, std::string(), claimedSize, 0);
    return *this;
}

ZipBuilder& ZipBuilder::UnsupportedFile(const std::string& name, const std::string& data) {
    Add(name, kUnknownMethod, Crc(data), data, uint32_t(data.size()), 0);
    return *this;
}

void ZipBuilder::Add(const std::string& name, uint16_t method, uint32_t crc,
                     const std::string& packed, uint32_t size, uint32_t attributes) {
    const uint32_t offset = uint32_t(entries.size());
    Put32(&entries, 0x04034b50);
    Put16(&entries, 20);
    Put16(&entries, 0);
    Put16(&entries, method);
    Put16(&entries, kTime);
    Put16(&entries, kDate);
    Put32(&entries, crc);
    Put32(&entries, uint32_t(packed.size()));
    Put32(&entries, size);
    Put16(&entries, uint32_t(name.size()));
    Put16(&entries, 0);
    entries += name;
    entries += packed;

    Put32(&directory, 0x02014b50);
    Put16(&directory, 20);
    Put16(&directory, 20);
    Put16(&directory, 0);
    Put16(&directory, method);
    Put16(&directory, kTime);
    Put16(&directory, kDate);
    Put32(&directory, crc);
    Put32(&directory, uint32_t(packed.size()));
    Put32(&directory, size);
    Put16(&directory, uint32_t(name.size()));
    Put16(&directory, 0);
    Put16(&directory, 0);
    Put16(&directory, 0);
    Put16(&directory, 0);
    Put32(&directory, attributes);
    Put32(&directory, offset);
    directory += name;
    ++count;
}

std::string ZipBuilder::Bytes() const {
    std::string archive = entries + directory;
    Put32(&archive, 0x06054b50);
    Put16(&archive, 0);
    Put16(&archive, 0);
    Put16(&archive, count);
    Put16(&archive, count);
    Put32(&archive, uint32_t(directory.size()));
    Put32(&archive, uint32_t(entries.size()));
    Put16(&archive, 0);
    return archive;
}

std::string CompressibleText(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"launcher ", "update ", "package ", "version ",
                                         "archive ",  "entry ",  "game ",    "data\n"};
    std::string text;
    text.reserve(size + 16);
    uint32_t state = seed * 2654435761u + 1;
    while (text.size() < size) {
        state = state * 1103515245u + 12345u;
        text += kWords[(state >> 16) & 7];
    }
    text.resize(size);
    return text;
}

std::string RandomBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    for (size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        bytes[i] = char(state >> 24);
    }
    return bytes;
}
