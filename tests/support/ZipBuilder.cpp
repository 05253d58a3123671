#include "tests/support/ZipBuilder.h"

#include <initializer_list>
#include <zlib.h>

namespace {

constexpr uint16_t kDeflated = 8;

// Little-endian fields of the given widths (2, 4 or 8 bytes) appended to out.
void Put(std::string* out, std::initializer_list<std::pair<int, uint64_t>> fields) {
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

ZipBuilder& ZipBuilder::Zip64File(const std::string& name, const std::string& data) {
    const std::string packed = Deflate(data, true);
    const uint32_t crc = Crc(data), marker = 0xFFFFFFFFu;
    std::string common;
    Put(&common, {{2, 0}, {2, kDeflated}, {2, 12 << 11}, {2, (40 << 9) | (1 << 5) | 1}, {4, crc}});
    Put(&common, {{4, marker}, {4, marker}, {2, name.size()}});
    Put(&directory, {{4, 0x02014b50}, {2, 45}, {2, 45}});
    directory += common;
    Put(&directory, {{2, 28}, {2, 0}, {2, 0}, {2, 0}, {4, 0}, {4, marker}});
    directory += name;
    Put(&directory, {{2, 1}, {2, 24}, {8, data.size()}, {8, packed.size()}, {8, entries.size()}});
    Put(&entries, {{4, 0x04034b50}, {2, 45}});
    entries += common;
    Put(&entries, {{2, 20}});
    entries += name;
    Put(&entries, {{2, 1}, {2, 16}, {8, data.size()}, {8, packed.size()}});
    entries += packed;
    ++count;
    zip64 = true;
    return *this;
}

ZipBuilder& ZipBuilder::DescribedFile(const std::string& name, const std::string& data) {
    const std::string packed = Deflate(data, true);
    const uint32_t crc = Crc(data);
    std::string head;
    Put(&head, {{2, 20}, {2, 8}, {2, kDeflated}, {2, 12 << 11}, {2, (40 << 9) | (1 << 5) | 1}});
    Put(&directory, {{4, 0x02014b50}, {2, 20}});
    directory += head;
    Put(&directory, {{4, crc}, {4, packed.size()}, {4, data.size()}, {2, name.size()}, {2, 0}});
    Put(&directory, {{2, 0}, {2, 0}, {2, 0}, {4, 0}, {4, entries.size()}});
    directory += name;
    Put(&entries, {{4, 0x04034b50}});
    entries += head;
    Put(&entries, {{4, 0}, {4, 0}, {4, 0}, {2, name.size()}, {2, 0}});
    entries += name + packed;
    Put(&entries, {{4, 0x08074b50}, {4, crc}, {4, packed.size()}, {4, data.size()}});
    ++count;
    return *this;
}

std::string ZipBuilder::Bytes() const {
    std::string archive = entries + directory;
    if (zip64) {
        const uint64_t end = archive.size();
        Put(&archive, {{4, 0x06064b50}, {8, 44}, {2, 45}, {2, 45}, {4, 0}, {4, 0}});
        Put(&archive, {{8, count}, {8, count}, {8, directory.size()}, {8, entries.size()}});
        Put(&archive, {{4, 0x07064b50}, {4, 0}, {8, end}, {4, 1}});
    }
    const uint32_t marker = zip64 ? 0xFFFFFFFFu : 0;
    Put(&archive, {{4, 0x06054b50},
                   {2, 0},
                   {2, 0},
                   {2, zip64 ? 0xFFFF : count},
                   {2, zip64 ? 0xFFFF : count},
                   {4, marker | uint32_t(directory.size())},
                   {4, marker | uint32_t(entries.size())},
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
