#include "core/files/PackKeys.h"

#include "core/strings/BoundedText.h"
#include "core/strings/PathText.h"

#include <cstring>

NameKey NameKey::FromName(const char* name) {
    NameKey key = {};
    for (int i = 0; i < kSize && name[i]; ++i) {
        const char c = name[i];
        key.bytes[i] = uint8_t(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return key;
}

bool NameKey::IsEmpty() const {
    for (uint8_t byte : bytes)
        if (byte)
            return false;
    return true;
}

void NameKey::CopyText(char* destination) const {
    memcpy(destination, bytes, kSize);
    destination[kSize] = '\0';
}

bool operator==(const NameKey& a, const NameKey& b) {
    return memcmp(a.bytes, b.bytes, NameKey::kSize) == 0;
}

bool operator!=(const NameKey& a, const NameKey& b) {
    return !(a == b);
}

TypeKey TypeKey::FromExtension(const char* extension) {
    uint8_t bytes[4] = {};
    for (int i = 0; i < 4 && extension[i]; ++i)
        bytes[i] = uint8_t(extension[i]);
    TypeKey key;
    memcpy(&key.value, bytes, 4);
    return key;
}

bool SplitFileName(const char* fileName, char* name, char* extension) {
    StrCopy(name, kRegisteredNameSize, fileName);
    PathExtension(name, extension, kRegisteredExtensionSize - 1);
    StrToLower(extension);
    PathStripExtension(name);
    return name[0] != '\0';
}
