#include "updater/PartialPackage.h"

#include "core/platform/Directory.h"
#include "core/strings/BoundedText.h"
#include "updater/EntryPath.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char kPackageName[] = "package";
constexpr const char kIdentityName[] = "package.id";
constexpr const char kIdentityFormat[] = "launcher package 1\nurl %s\nsize %s\nsha256 %s\n"
                                         "validator %s\nend\n";
// The identity's text at its longest, and one byte more so that a longer file is noticed.
constexpr size_t kIdentityMaxBytes = sizeof kIdentityFormat + UpdateRecord::kTextSize +
                                     UpdateRecord::kSizeTextSize + UpdateRecord::kHashTextSize +
                                     kValidatorSize;

// The identity's text for partial; false when a field holds a line break or it does not fit.
bool IdentityText(const PartialPackage& partial, char (&text)[kIdentityMaxBytes]) {
    for (const char* field : {partial.url, partial.size, partial.sha256, partial.validator})
        if (strpbrk(field, "\r\n"))
            return false;
    return StrFormat(text, sizeof text, kIdentityFormat, partial.url, partial.size, partial.sha256,
                     partial.validator) < sizeof text;
}

// The whole identity file; false when it is not a plain file or too long to be one.
bool ReadIdentity(const char* path, char (&text)[kIdentityMaxBytes]) {
    if (!PlatformIsPlainFile(path))
        return false;
    FILE* file = fopen(path, "rb");
    if (!file)
        return false;
    const size_t length = fread(text, 1, sizeof text - 1, file);
    const bool whole = !ferror(file) && length < sizeof text - 1;
    fclose(file);
    text[length] = '\0';
    return whole && strlen(text) == length;
}

// The validator an identity text names, when the text is whole: it is the last field.
bool IdentityValidator(const char* text, char (&validator)[kValidatorSize]) {
    const char* field = strstr(text, "\nvalidator ");
    const char* end = field ? strstr(field + 1, "\n") : nullptr;
    if (!field || !end || strcmp(end, "\nend\n") != 0)
        return false;
    field += strlen("\nvalidator ");
    const size_t length = size_t(end - field);
    if (length == 0 || length >= sizeof validator)
        return false;
    memcpy(validator, field, length);
    validator[length] = '\0';
    return true;
}

bool FileIn(char* path, size_t size, const char* staging, const char* name) {
    return StrFormat(path, size, "%s/%s", staging, name) <= size;
}

struct Clearing {
    const char* staging;
    bool keepPackage;
    bool cleared;
};

void RemoveUnlessKept(const char* name, void* state) {
    Clearing* clearing = static_cast<Clearing*>(state);
    if (clearing->keepPackage &&
        (strcmp(name, kPackageName) == 0 || strcmp(name, kIdentityName) == 0))
        return;
    char path[PartialPackage::kPathSize];
    clearing->cleared = FileIn(path, sizeof path, clearing->staging, name) &&
                        PlatformRemoveTree(path) && clearing->cleared;
}

} // namespace

bool PartialPackageName(PartialPackage* partial, const char* staging, const PackageSource& source) {
    StrCopy(partial->url, sizeof partial->url, source.url);
    StrCopy(partial->size, sizeof partial->size, source.size);
    StrCopy(partial->sha256, sizeof partial->sha256, source.sha256);
    partial->validator[0] = '\0';
    return FileIn(partial->path, sizeof partial->path, staging, kPackageName) &&
           FileIn(partial->identity, sizeof partial->identity, staging, kIdentityName);
}

bool PartialPackageKept(PartialPackage* partial) {
    char kept[kIdentityMaxBytes], expected[kIdentityMaxBytes];
    if (!PlatformIsPlainFile(partial->path) || !ReadIdentity(partial->identity, kept) ||
        !IdentityValidator(kept, partial->validator) || !IdentityText(*partial, expected) ||
        strcmp(kept, expected) != 0) {
        partial->validator[0] = '\0';
        return false;
    }
    return true;
}

bool PartialPackageWriteIdentity(const PartialPackage& partial) {
    char text[kIdentityMaxBytes];
    FILE* file = IdentityText(partial, text) ? fopen(partial.identity, "wb") : nullptr;
    if (!file)
        return false;
    const size_t length = strlen(text);
    const bool written = fwrite(text, 1, length, file) == length;
    return fclose(file) == 0 && written;
}

bool CurrentStagingFolder(char* destination, size_t size) {
    char root[PartialPackage::kPathSize];
    return PlatformCurrentDirectory(root, sizeof root) &&
           FileIn(destination, size, root, kStagingFolder);
}

bool StagingClear(const char* staging, bool keepPackage) {
    if (!keepPackage || !PlatformIsPlainDirectory(staging))
        return PlatformRemoveTree(staging) && PlatformMakeDirectory(staging);
    Clearing clearing{staging, keepPackage, true};
    return PlatformDirectoryNames(staging, RemoveUnlessKept, &clearing) && clearing.cleared;
}

bool StagingHoldsPartialPackage(const char* staging) {
    char package[PartialPackage::kPathSize], identity[PartialPackage::kPathSize];
    char text[kIdentityMaxBytes], validator[kValidatorSize];
    return PlatformIsPlainDirectory(staging) &&
           FileIn(package, sizeof package, staging, kPackageName) &&
           FileIn(identity, sizeof identity, staging, kIdentityName) &&
           PlatformIsPlainFile(package) && ReadIdentity(identity, text) &&
           IdentityValidator(text, validator);
}
