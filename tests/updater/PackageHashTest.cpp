// The package hasher against the library's own SHA-256, over lengths around the 64-byte block
// and pieces of every size, since whole blocks take the processor's SHA extensions where it
// has them and the rest the library.
#include "updater/PackageHash.h"
#include "tests/support/ZipBuilder.h"
#include "updater/Sha256Blocks.h"

#include <gtest/gtest.h>
#include <sodium.h>

#include <algorithm>
#include <string>

namespace {

std::string Hex(const uint8_t (&hash)[crypto_hash_sha256_BYTES]) {
    char text[2 * crypto_hash_sha256_BYTES + 1];
    sodium_bin2hex(text, sizeof text, hash, sizeof hash);
    return text;
}

// The hasher's result for data handed over in pieces of piece bytes, the first one first.
std::string Hashed(const std::string& data, size_t first, size_t piece) {
    PackageHasher hasher;
    PackageHasherStart(&hasher);
    size_t at = std::min(first, data.size());
    PackageHasherAdd(&hasher, data.data(), at);
    for (; at < data.size(); at += piece)
        PackageHasherAdd(&hasher, data.data() + at, std::min(piece, data.size() - at));
    uint8_t hash[crypto_hash_sha256_BYTES];
    PackageHasherFinish(&hasher, hash);
    EXPECT_EQ(data.size(), hasher.bytes);
    return Hex(hash);
}

std::string Reference(const std::string& data) {
    uint8_t hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(hash, reinterpret_cast<const uint8_t*>(data.data()), data.size());
    return Hex(hash);
}

} // namespace

TEST(PackageHash, EveryWayOfCuttingTheBytesGivesTheLibrarysHash) {
    RecordProperty("fast", Sha256BlocksAvailable() ? "yes" : "no");
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
              Hashed("abc", 3, 1));
    const std::string bytes = RandomBytes(3 * 4096 + 77, 11);
    for (size_t length : {0, 1, 55, 56, 63, 64, 65, 127, 128, 129, 1000, 4096, 12365}) {
        const std::string data = bytes.substr(0, length);
        const std::string expected = Reference(data);
        for (size_t first : {0, 1, 13, 63, 64, 65, 200})
            for (size_t piece : {1, 7, 64, 100, 4096}) {
                SCOPED_TRACE(std::to_string(length) + " bytes, " + std::to_string(first) +
                             " then pieces of " + std::to_string(piece));
                EXPECT_EQ(expected, Hashed(data, first, piece));
            }
    }
    const std::string large = RandomBytes(5 << 20, 12);
    EXPECT_EQ(Reference(large), Hashed(large, 3, 512 * 1024 + 5));
}
