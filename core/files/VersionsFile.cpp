#include "core/files/VersionsFile.h"

#include "core/files/PackFormat.h"
#include "core/strings/BoundedText.h"

#include <cstring>

namespace {
constexpr uint32_t kVersionsMagic = PackFormat::FourCC("CRCV");
constexpr size_t kHeaderSize = 4;
} // namespace

bool VersionsFileName(const char* source, char* destination, size_t size) {
    char name[kVersionsNameLength + 1];
    StrCopy(name, sizeof name, source);
    StrToLower(name);
    if (char* dot = strrchr(name, '.'))
        *dot = '\0';
    char result[kVersionsNameLength + 2];
    const size_t needed = StrFormat(result, sizeof result, "%s.versions", name);
    if (needed > kVersionsNameLength + 1) {
        StrCopy(destination, size, "");
        return false;
    }
    StrCopy(destination, size, result);
    return true;
}

std::vector<VersionRecord> ReadVersionRecords(const uint8_t* bytes, size_t size) {
    std::vector<VersionRecord> records;
    if (size < kHeaderSize || PackFormat::ReadLE32(bytes) != kVersionsMagic)
        return records;
    records.resize((size - kHeaderSize) / VersionRecord::kSize);
    for (size_t i = 0; i < records.size(); ++i) {
        const uint8_t* at = bytes + kHeaderSize + i * VersionRecord::kSize;
        records[i].checksum = PackFormat::ReadLE32(at);
        memcpy(records[i].version, at + 4, VersionRecord::kTextSize);
    }
    return records;
}

void SetVersion(std::vector<VersionRecord>* records, uint32_t checksum, const char* text) {
    bool found = false;
    for (VersionRecord& record : *records)
        if (record.checksum == checksum) {
            memset(record.version, 0, sizeof record.version);
            StrCopy(record.version, sizeof record.version, text);
            found = true;
        }
    if (found)
        return;
    VersionRecord added = {};
    added.checksum = checksum;
    StrCopy(added.version, sizeof added.version, text);
    records->push_back(added);
}

std::vector<uint8_t> BuildVersionsFile(const std::vector<VersionRecord>& records) {
    std::vector<uint8_t> bytes(kHeaderSize + records.size() * VersionRecord::kSize);
    PackFormat::WriteLE32(bytes.data(), kVersionsMagic);
    for (size_t i = 0; i < records.size(); ++i) {
        uint8_t* at = bytes.data() + kHeaderSize + i * VersionRecord::kSize;
        PackFormat::WriteLE32(at, records[i].checksum);
        memcpy(at + 4, records[i].version, VersionRecord::kTextSize);
    }
    return bytes;
}
