// A package being received, kept in the staging folder beside what identifies it (its address,
// listed size and hash, and the server's validator), so that a transfer stopped by a closed
// window, a kill or a broken connection goes on at the next start instead of from zero.
#pragma once

#include "updater/UpdateRecord.h"

#include <cstddef>

// Validators longer than this are not kept: a cut one would never match.
constexpr size_t kValidatorSize = 256;

struct PartialPackage {
    static constexpr size_t kPathSize = 320;

    char path[kPathSize];     // the package's bytes: "<staging>/package"
    char identity[kPathSize]; // what identifies them: "<staging>/package.id"
    char url[UpdateRecord::kTextSize];
    char size[UpdateRecord::kSizeTextSize];
    char sha256[UpdateRecord::kHashTextSize];
    // The strong "ETag" or the "Last-Modified" of the answer the bytes come from; empty for
    // none, and then the bytes cannot be continued.
    char validator[kValidatorSize];
};

// A package as the update list names it: its address and the texts of its size and SHA-256.
struct PackageSource {
    const char* url;
    const char* size;
    const char* sha256;
};

// Names the package of source in the staging folder; false when a path does not fit.
bool PartialPackageName(PartialPackage* partial, const char* staging, const PackageSource& source);
// Whether the staging folder keeps bytes of this very package that can be continued: both
// files plain, the identity whole and naming the same address, size, hash and a validator,
// which it reads into partial.
bool PartialPackageKept(PartialPackage* partial);
// Records the identity with partial's validator, before the bytes of an answer are kept.
bool PartialPackageWriteIdentity(const PartialPackage& partial);

// The staging folder of the installation in the current directory; false when it does not fit.
bool CurrentStagingFolder(char* destination, size_t size);
// Leaves the staging folder a plain folder holding nothing, or only a package being received
// when keepPackage. False when that cannot be done.
bool StagingClear(const char* staging, bool keepPackage);
// Whether the staging folder holds a package being received that a later run may continue: a
// whole identity with a validator beside its bytes, both plain files.
bool StagingHoldsPartialPackage(const char* staging);
