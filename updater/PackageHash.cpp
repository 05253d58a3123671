#include "updater/PackageHash.h"

#include "updater/Sha256Blocks.h"

#include <sodium.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr size_t kReadBlock = 1 << 20;

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ReadHash(const char* text, uint8_t* hash) {
    if (strlen(text) != 2 * crypto_hash_sha256_BYTES)
        return false;
    for (size_t i = 0; i < crypto_hash_sha256_BYTES; ++i) {
        const int high = HexDigit(text[2 * i]), low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        hash[i] = uint8_t(high << 4 | low);
    }
    return true;
}

bool ReadSize(const char* text, uint64_t* size) {
    if (!*text)
        return false;
    uint64_t value = 0;
    for (; *text; ++text) {
        const int digit = *text - '0';
        if (digit < 0 || digit > 9 || value > (UINT64_MAX - uint64_t(digit)) / 10)
            return false;
        value = value * 10 + uint64_t(digit);
    }
    *size = value;
    return true;
}

bool ReadListed(const char* sha256, const char* size, ListedPackage* listed) {
    *listed = ListedPackage{};
    listed->hasHash = sha256[0] != '\0';
    listed->hasSize = size[0] != '\0';
    return (!listed->hasHash || ReadHash(sha256, listed->sha256)) &&
           (!listed->hasSize || ReadSize(size, &listed->size));
}

} // namespace

bool ReadListedPackage(const UpdateRecord& record, ListedPackage* listed) {
    return ReadListed(record.sha256, record.size, listed);
}

bool ReadListedDelta(const UpdateRecord& record, ListedPackage* listed) {
    return ReadListed(record.deltaSha256, record.deltaSize, listed);
}

void PackageHasherStart(PackageHasher* hasher, bool hash) {
    crypto_hash_sha256_init(&hasher->state);
    hasher->bytes = 0;
    hasher->hashing = hash;
}

void PackageHasherAdd(PackageHasher* hasher, const void* data, size_t size) {
    static const bool fast = Sha256BlocksAvailable();
    hasher->bytes += size;
    if (!hasher->hashing)
        return;
    crypto_hash_sha256_state& state = hasher->state;
    const uint8_t* at = static_cast<const uint8_t*>(data);
    // The library keeps a part block and the count; whole blocks between go the fast way.
    const size_t held = size_t(state.count >> 3) & 63;
    if (fast && held > 0 && size >= 64) {
        const size_t taken = 64 - held;
        crypto_hash_sha256_update(&state, at, taken);
        at += taken;
        size -= taken;
    }
    if (fast && size >= 64) {
        const size_t blocks = size / 64;
        Sha256Blocks(state.state, at, blocks);
        state.count += uint64_t(blocks) * 512;
        at += blocks * 64;
        size -= blocks * 64;
    }
    crypto_hash_sha256_update(&state, at, size);
}

static_assert(sizeof(crypto_hash_sha256_state::state) == 8 * sizeof(uint32_t),
              "the library's state is the eight words of SHA-256");

bool PackageHasherWithinSize(const PackageHasher& hasher, const ListedPackage& listed) {
    return !listed.hasSize || hasher.bytes <= listed.size;
}

bool PackageHasherAddFile(PackageHasher* hasher, const char* path,
                          const std::function<void(const char*, size_t)>& each) {
    FILE* file = fopen(path, "rb");
    std::unique_ptr<char[]> block(file ? new (std::nothrow) char[kReadBlock] : nullptr);
    size_t count = 0;
    while (block && (count = fread(block.get(), 1, kReadBlock, file)) > 0) {
        PackageHasherAdd(hasher, block.get(), count);
        if (each)
            each(block.get(), count);
    }
    const bool read = block && !ferror(file);
    if (file)
        fclose(file);
    return read;
}

bool FileSha256(const char* path, uint8_t (&hash)[crypto_hash_sha256_BYTES]) {
    PackageHasher hasher;
    PackageHasherStart(&hasher);
    if (!PackageHasherAddFile(&hasher, path))
        return false;
    PackageHasherFinish(&hasher, hash);
    return true;
}

void PackageHasherFinish(PackageHasher* hasher, uint8_t (&hash)[crypto_hash_sha256_BYTES]) {
    crypto_hash_sha256_final(&hasher->state, hash);
}

bool PackageHasherMatches(PackageHasher* hasher, const ListedPackage& listed) {
    uint8_t hash[crypto_hash_sha256_BYTES];
    PackageHasherFinish(hasher, hash);
    return (!listed.hasSize || hasher->bytes == listed.size) &&
           (!listed.hasHash ||
            (hasher->hashing && sodium_memcmp(hash, listed.sha256, sizeof hash) == 0));
}
