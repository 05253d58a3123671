// Zip archives made at test time, damaged ones included, byte for byte under the test's
// control: any entry name, a checksum that lies, a compressed stream that breaks midway, a
// compression method no reader knows, a size claimed without data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ZipBuilder {
public:
    // A file entry, deflated, or stored as it is when store is set.
    ZipBuilder& File(const std::string& name, const std::string& data, bool store = false);
    // A directory entry; name should end in a separator.
    ZipBuilder& Directory(const std::string& name) { return Add(name, 0, 0, "", 0, 0x10); }
    // A deflated entry whose stream is valid for its first goodBytes of data, then broken.
    ZipBuilder& DamagedFile(const std::string& name, const std::string& data, size_t goodBytes);
    // A deflated entry whose recorded checksum does not match its data.
    ZipBuilder& WrongCrcFile(const std::string& name, const std::string& data);
    // A stored entry without data that claims claimedSize bytes.
    ZipBuilder& ClaimedSizeFile(const std::string& name, uint32_t claimedSize) {
        return Add(name, 0, 0, "", claimedSize, 0);
    }
    // An entry with another compression method (12 bzip2, 14 LZMA, ...), its data as they are.
    ZipBuilder& UnsupportedFile(const std::string& name, const std::string& data, uint16_t method);

    // A deflated entry whose sizes and offset are zip64 fields, as writers make entries of
    // 4 GiB and more; the archive then ends with the zip64 end records too.
    ZipBuilder& Zip64File(const std::string& name, const std::string& data);
    // A deflated entry whose checksum and sizes follow its data instead of being in its header.
    ZipBuilder& DescribedFile(const std::string& name, const std::string& data);

    // The archive: the entries in the order added, their directory and its end record.
    std::string Bytes() const;

private:
    ZipBuilder& Add(const std::string& name, uint16_t method, uint32_t crc,
                    const std::string& packed, uint32_t size, uint32_t attributes);

    std::string entries;
    std::string directory;
    uint16_t count = 0;
    bool zip64 = false;
};

// Text that deflates well and differs from seed to seed.
std::string CompressibleText(size_t size, uint32_t seed);
// Bytes that do not compress.
std::string RandomBytes(size_t size, uint32_t seed);
