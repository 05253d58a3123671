#include "tests/support/ZipBuilder.h"

#include <initializer_list>
#include <zlib.h>

namespace {

constexpr uint16_t kDeflated = 8;

// Little-endian fields of the given widths (2 or 4 bytes) appended to out.
void Put(std::string* out, std::initializer_list<std::pair<int, uint32_t>> fields) {
    for (const auto& field : fields)
        for (int i = 0; i < field.first; ++i)
            out->push_back(char((field.second >> (8 * i)) & 0xFF));
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
    return Add(name, store ? 0 : kDeflated, Crc(data), store ? data : Deflate(data, true),
               uint32_t(data.size()), 0);
}

ZipBuilder& ZipBuilder::DamagedFile(const std::string& name, const std::string& data,
                                    size_t goodBytes) {
    // 0xFF opens a final block of the reserved type, which every inflater rejects.
    const std::string packed = Deflate(data.substr(0, goodBytes), false) + "\xFF\xFF\xFF\xFF";
    return Add(name, kDeflated, Crc(data), packed, uint32_t(data.size()), 0);
}

ZipBuilder& ZipBuilder::WrongCrcFile(const std::string& name, const std::string& data) {
    return Add(name, kDeflated, Crc(data) ^ 0x5A5A5A5Au, Deflate(data, true), uint32_t(data.size()),
               0);
}

ZipBuilder& ZipBuilder::UnsupportedFile(const std::string& name, const std::string& data,
                                        uint16_t method) {
    return Add(name, method, Crc(data), data, uint32_t(data.size()), 0);
}

ZipBuilder& ZipBuilder::Add(const std::string& name, uint16_t method, uint32_t crc,
                            const std::string& packed, uint32_t size, uint32_t attributes) {
    // Version, flags, method, 2020-01-01 12:00, checksum, sizes, name and extra lengths: the
    // same in the entry's header and in the directory.
    std::string common;
    Put(&common, {{2, 20},
                  {2, 0},
                  {2, method},
                  {2, 12 << 11},
                  {2, (40 << 9) | (1 << 5) | 1},
                  {4, crc},
                  {4, uint32_t(packed.size())},
                  {4, size},
                  {2, uint32_t(name.size())},
                  {2, 0}});
    Put(&directory, {{4, 0x02014b50}, {2, 20}});
    directory += common;
    Put(&directory, {{2, 0}, {2, 0}, {2, 0}, {4, attributes}, {4, uint32_t(entries.size())}});
    directory += name;
    Put(&entries, {{4, 0x04034b50}});
    entries += common + name + packed;
    ++count;
    return *this;
}

std::string ZipBuilder::Bytes() const {
    std::string archive = entries + directory;
    Put(&archive, {{4, 0x06054b50},
                   {2, 0},
                   {2, 0},
                   {2, count},
                   {2, count},
                   {4, uint32_t(directory.size())},
                   {4, uint32_t(entries.size())},
                   {2, 0}});
    return archive;
}

std::string CompressibleText(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"launcher ", "update ", "package ", "version ",
                                         "archive ",  "entry ",  "game ",    "data\n"};
    std::string text;
    for (uint32_t state = seed * 2654435761u + 1; text.size() < size;) {
        state = state * 1103515245u + 12345u;
        text += kWords[(state >> 16) & 7];
    }
    text.resize(size);
    return text;
}

std::string RandomBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        byte = char(state >> 24);
    }
    return bytes;
}
