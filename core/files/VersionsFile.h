// The versions file: "CRCV" and then records of a file checksum and a version text. It is
// named after the source file whose checksum it records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct VersionRecord {
    static constexpr int kTextSize = 32;
    static constexpr uint32_t kSize = 4 + kTextSize;

    uint32_t checksum;
    // At most 31 characters, terminated and zero-padded when set here; a record read from a
    // file keeps its 32 bytes as they were, so rewriting the file leaves it unchanged.
    char version[kTextSize];
};

// Longest versions file name, without its terminator.
constexpr size_t kVersionsNameLength = 31;

// The versions file name of a source path: its first 31 characters, lowered, cut at the last
// dot, with ".versions" appended. False (destination empty) when that name would be longer
// than 31 characters: a cut name would not be the one readers look for.
bool VersionsFileName(const char* source, char* destination, size_t size);

// The records of a versions file's bytes: none when it does not begin with "CRCV"; trailing
// bytes that make no whole record are ignored.
std::vector<VersionRecord> ReadVersionRecords(const uint8_t* bytes, size_t size);

// Gives every record with the checksum the text (cut to 31 characters), or appends one when
// none has it.
void SetVersion(std::vector<VersionRecord>* records, uint32_t checksum, const char* text);

// The bytes of a versions file holding the records.
std::vector<uint8_t> BuildVersionsFile(const std::vector<VersionRecord>& records);
