// Update lists signed with minisign: the studio's public key as launcher.ini holds it, and the
// check of a list against its ".minisig" file, exactly as minisign verifies (both of its
// algorithms, the key identifier and the signature over the trusted comment).
#pragma once

#include <cstddef>
#include <cstdint>

struct ListKey {
    uint8_t id[8];         // the key identifier that each signature names
    uint8_t publicKey[32]; // Ed25519
};

// Reads the base64 line of a minisign public key file. False when it is not one.
bool ListKeyParse(const char* base64, ListKey* key);

// Whether signature (the text of a ".minisig" file, signatureSize bytes) is a valid signature
// of the list's listSize bytes by key.
bool ListSignatureValid(const ListKey& key, const char* list, size_t listSize,
                        const char* signature, size_t signatureSize);
