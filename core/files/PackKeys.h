// The two keys under which the pack file service finds a file: the name without its extension
// (NameKey) and the extension (TypeKey), and the rule that splits a file name into the two.
#pragma once

#include <cstdint>

struct NameKey {
    static constexpr int kSize = 32;
    // Key text plus a terminator.
    static constexpr int kTextSize = kSize + 1;

    uint8_t bytes[kSize];

    // The name cut to 32 characters, lowered (A to Z only) and zero-padded. A name of exactly
    // 32 characters fills the key and leaves no terminator.
    static NameKey FromName(const char* name);

    // All zero: the key of the unnamed pack.
    bool IsEmpty() const;
    // The key's text, terminated, into destination (kTextSize bytes).
    void CopyText(char* destination) const;
};

bool operator==(const NameKey& a, const NameKey& b);
bool operator!=(const NameKey& a, const NameKey& b);

struct TypeKey {
    // The extension's first four bytes as they lie in memory, zero-padded; compared as one
    // 32-bit value, so "LUA" and "lua" differ.
    uint32_t value;

    static TypeKey FromExtension(const char* extension);
};

inline bool operator==(TypeKey a, TypeKey b) {
    return a.value == b.value;
}

// Sizes of the parts a registered file name is split into, terminators included.
constexpr int kRegisteredNameSize = 256;
constexpr int kRegisteredExtensionSize = 8;

// Splits a file name (cut to 255 characters) at its last dot: name is everything before it,
// extension the text after it (at most its last 7 characters), lowered. Returns false when the
// name is empty, which is also the case for a file name without a dot.
bool SplitFileName(const char* fileName, char* name, char* extension);
