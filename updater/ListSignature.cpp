#include "updater/ListSignature.h"

#include <sodium.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Binary forms of minisign's key and signature lines: an algorithm, the key identifier, then
// the key or the signature.
constexpr size_t kAlgorithmSize = 2;
constexpr size_t kIdSize = sizeof ListKey::id;
constexpr size_t kKeyLineBytes = kAlgorithmSize + kIdSize + crypto_sign_PUBLICKEYBYTES;
constexpr size_t kSignatureLineBytes = kAlgorithmSize + kIdSize + crypto_sign_BYTES;
// "Ed" signs the list itself (the legacy form), "ED" its BLAKE2b-512 hash.
constexpr char kLegacy[] = "Ed";
constexpr char kPrehashed[] = "ED";
constexpr char kUntrustedPrefix[] = "untrusted comment: ";
constexpr char kTrustedPrefix[] = "trusted comment: ";

static_assert(sizeof ListKey::publicKey == crypto_sign_PUBLICKEYBYTES, "Ed25519 public key");

// Decodes the whole of text (padded base64) into exactly size bytes.
bool DecodeExactly(const std::string& text, uint8_t* out, size_t size) {
    // One byte of room shows a line that decodes to more than size.
    std::vector<uint8_t> decoded(size + 1);
    size_t length = 0;
    const char* end = nullptr;
    if (sodium_base642bin(decoded.data(), decoded.size(), text.data(), text.size(), nullptr,
                          &length, &end, sodium_base64_VARIANT_ORIGINAL) != 0 ||
        end != text.data() + text.size() || length != size)
        return false;
    memcpy(out, decoded.data(), size);
    return true;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, strlen(prefix), prefix) == 0;
}

// The file's lines without their line ends; the last entry is what follows the last line feed.
std::vector<std::string> Lines(const char* text, size_t size) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; ++i) {
        if (text[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += text[i];
    }
    for (std::string& line : lines)
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
    return lines;
}

} // namespace

bool ListKeyParse(const char* base64, ListKey* key) {
    uint8_t line[kKeyLineBytes];
    if (sodium_init() < 0 || !DecodeExactly(base64, line, sizeof line) ||
        memcmp(line, kLegacy, kAlgorithmSize) != 0)
        return false;
    memcpy(key->id, line + kAlgorithmSize, kIdSize);
    memcpy(key->publicKey, line + kAlgorithmSize + kIdSize, sizeof key->publicKey);
    return true;
}

bool ListSignatureValid(const ListKey& key, const char* list, size_t listSize,
                        const char* signature, size_t signatureSize) {
    // An untrusted comment, the signature, the trusted comment (ended by a line feed) and the
    // signature over both.
    const std::vector<std::string> lines = Lines(signature, signatureSize);
    uint8_t line[kSignatureLineBytes];
    uint8_t global[crypto_sign_BYTES];
    if (sodium_init() < 0 || lines.size() < 4 || !StartsWith(lines[0], kUntrustedPrefix) ||
        !StartsWith(lines[2], kTrustedPrefix) || !DecodeExactly(lines[1], line, sizeof line) ||
        !DecodeExactly(lines[3], global, sizeof global))
        return false;
    const bool prehashed = memcmp(line, kPrehashed, kAlgorithmSize) == 0;
    if ((!prehashed && memcmp(line, kLegacy, kAlgorithmSize) != 0) ||
        memcmp(line + kAlgorithmSize, key.id, kIdSize) != 0)
        return false;
    const uint8_t* listSignature = line + kAlgorithmSize + kIdSize;

    uint8_t hash[crypto_generichash_BYTES_MAX];
    const uint8_t* message = reinterpret_cast<const uint8_t*>(list);
    size_t messageSize = listSize;
    if (prehashed) {
        crypto_generichash(hash, sizeof hash, message, messageSize, nullptr, 0);
        message = hash;
        messageSize = sizeof hash;
    }
    if (crypto_sign_verify_detached(listSignature, message, messageSize, key.publicKey) != 0)
        return false;

    std::string signedText(reinterpret_cast<const char*>(listSignature), crypto_sign_BYTES);
    signedText += lines[2].substr(strlen(kTrustedPrefix));
    return crypto_sign_verify_detached(global, reinterpret_cast<const uint8_t*>(signedText.data()),
                                       signedText.size(), key.publicKey) == 0;
}
