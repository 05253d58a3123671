// The SHA-256 hash and size an update entry lists for its package, and the check of a
// package's bytes against them as they pass by.
#pragma once

#include "updater/UpdateRecord.h"

#include <sodium/crypto_hash_sha256.h>

#include <cstddef>
#include <cstdint>
#include <functional>

struct ListedPackage {
    bool hasHash;
    uint8_t sha256[crypto_hash_sha256_BYTES];
    bool hasSize;
    uint64_t size;
};

// Reads the entry's "sha256" (64 hex digits) and "size" (a decimal count of bytes); either may
// be absent. False when one is present but malformed.
bool ReadListedPackage(const UpdateRecord& record, ListedPackage* listed);
// The same of the entry's delta package: "deltasha256" and "deltasize".
bool ReadListedDelta(const UpdateRecord& record, ListedPackage* listed);

struct PackageHasher {
    crypto_hash_sha256_state state;
    uint64_t bytes;
    bool hashing; // false: only the bytes are counted
};

// Starts the hash, or with hash false only the count: a package listed without a hash has no
// use for it.
void PackageHasherStart(PackageHasher* hasher, bool hash = true);
void PackageHasherAdd(PackageHasher* hasher, const void* data, size_t size);
// Whether the bytes added so far can still become the listed package: not more than its size.
bool PackageHasherWithinSize(const PackageHasher& hasher, const ListedPackage& listed);
// Adds the bytes of the file at path, handing each block read to each too when it is given;
// false when the file cannot be read.
bool PackageHasherAddFile(PackageHasher* hasher, const char* path,
                          const std::function<void(const char*, size_t)>& each = nullptr);
// The SHA-256 of the file at path; false when it cannot be read.
bool FileSha256(const char* path, uint8_t (&hash)[crypto_hash_sha256_BYTES]);
// Ends the hasher with the hash of the bytes added.
void PackageHasherFinish(PackageHasher* hasher, uint8_t (&hash)[crypto_hash_sha256_BYTES]);
// Whether the bytes added are the listed package: its size and its hash, where listed. Ends
// the hasher.
bool PackageHasherMatches(PackageHasher* hasher, const ListedPackage& listed);
