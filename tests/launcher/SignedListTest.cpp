// Signed update lists and listed package hashes against a real server, with keys and
// signatures made by the real minisign: what the player gets for each list and signature.
#include "tests/launcher/UpdaterFixture.h"

#include "tests/support/Minisign.h"
#include "tests/support/ZipBuilder.h"

#include <sodium.h>

#include <cstdio>
#include <filesystem>

namespace {

enum class Signature { Good, Legacy, OtherKey, ListChanged, CommentChanged, Missing };
// What the entry lists: the served package's hash and size, no hash, a size one byte too large,
// or the hash and size of another package.
enum class Listing { Hashed, NoHash, WrongSize, OtherPackage };
enum class Key { Studio, None, NotAKey }; // what "ListKey" holds

std::string Sha256Hex(const std::string& bytes) {
    uint8_t hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(hash, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    char hex[2 * sizeof hash + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    return hex;
}

class SignedList : public UpdaterFixture {};

// Each row guards its own check: the key, the algorithms, the signature over the list and over
// the trusted comment, the listed hash and size with and without a key.
TEST_F(SignedList, OnlyWhatTheStudioSignedAndHashedIsApplied) {
    const MinisignKey studio, other;
    const std::string package = ZipBuilder().File("versions/1.1.txt", "v1.1").Bytes();
    const std::string changed = ZipBuilder().File("versions/1.1.txt", "v1.X").Bytes();
    const struct {
        const char* name;
        Key key;
        Listing listing;
        Signature signature;
        std::string installed; // "1.1": applied; "1.0": the package failed; "": the list did
    } cases[] = {
        {"good list", Key::Studio, Listing::Hashed, Signature::Good, "1.1"},
        {"legacy algorithm", Key::Studio, Listing::Hashed, Signature::Legacy, "1.1"},
        {"list changed after signing", Key::Studio, Listing::Hashed, Signature::ListChanged, ""},
        {"signed by another key", Key::Studio, Listing::Hashed, Signature::OtherKey, ""},
        {"no .minisig", Key::Studio, Listing::Hashed, Signature::Missing, ""},
        {"trusted comment changed", Key::Studio, Listing::Hashed, Signature::CommentChanged, ""},
        {"ListKey not a key", Key::NotAKey, Listing::Hashed, Signature::Good, ""},
        {"package changed after listing", Key::Studio, Listing::OtherPackage, Signature::Good,
         "1.0"},
        {"entry without sha256", Key::Studio, Listing::NoHash, Signature::Good, "1.0"},
        {"no key, unsigned list", Key::None, Listing::NoHash, Signature::Missing, "1.1"},
        {"no key, size wrong", Key::None, Listing::WrongSize, Signature::Missing, "1.0"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string base = "c" + std::to_string(&test - cases);
        const std::string& listed = test.listing == Listing::OtherPackage ? changed : package;
        std::string list = "<?xml version=\"1.0\"?>\n<game>\n  <update><for>1.0</for><to>1.1</to>"
                           "<file>" +
                           server.Url(base + ".zip") + "</file>";
        if (test.listing != Listing::NoHash)
            list += "<sha256>" + Sha256Hex(listed) + "</sha256><size>" +
                    std::to_string(listed.size() + (test.listing == Listing::WrongSize)) +
                    "</size>";
        list += "</update>\n</game>\n";
        const MinisignKey& signer = test.signature == Signature::OtherKey ? other : studio;
        std::string signature = test.signature == Signature::Missing
                                    ? ""
                                    : signer.Sign(list, test.signature == Signature::Legacy);
        if (test.signature == Signature::CommentChanged)
            signature.replace(signature.find("comment: list"), 13, "comment: lisT");
        std::string served = list;
        if (test.signature == Signature::ListChanged)
            served.back() = ' '; // its last byte
        server.Serve(base + ".xml", served);
        if (!signature.empty())
            server.Serve(base + ".xml.minisig", signature);
        server.Serve(base + ".zip", package);
        WriteIni({{"URL1", server.Url(base + ".xml")},
                  {"ListKey", test.key == Key::Studio    ? studio.PublicLine()
                              : test.key == Key::NotAKey ? "RWQ" + studio.PublicLine()
                                                         : ""}});
        ClearInstallation();

        EXPECT_EQ(test.installed == "1.1"   ? ""
                  : test.installed == "1.0" ? "Error: Update download error;"
                                            : "Error: Update list signature is not valid;",
                  RunUpdate());
        EXPECT_EQ(test.installed, InstalledVersion());
        EXPECT_EQ(test.installed == "1.1", std::filesystem::exists(Installed("versions/1.1.txt")));
        // A package is fetched only from a list that passed, and only when its entry can be
        // checked.
        const bool fetched = !test.installed.empty() &&
                             !(test.key == Key::Studio && test.listing == Listing::NoHash);
        EXPECT_EQ(fetched, server.Hits(base + ".zip") == 1);
    }
    ExpectTempFilesRemoved();
}

} // namespace
