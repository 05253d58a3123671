// Keys and signatures made by the real minisign program, as a studio makes them.
#pragma once

#include "tests/support/TempDir.h"

#include <string>

class MinisignKey {
public:
    // A new key pair without a password.
    MinisignKey();

    // The base64 line of the public key file, as launcher.ini's "ListKey" takes it.
    std::string PublicLine() const;
    // The public key file.
    std::string PublicFile() const { return dir / "key.pub"; }
    // The ".minisig" text of bytes, trusted comment "list": the pre-hashed algorithm, or the
    // legacy one. Empty, with a failure recorded, when minisign did not make one.
    std::string Sign(const std::string& bytes, bool legacy = false) const;

private:
    TempDir dir;
};
