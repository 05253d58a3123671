// Signed update lists and listed package hashes against a real server, with keys and
// signatures made by the real minisign: what the player sees for each list and signature.
#include "tests/launcher/UpdaterFixture.h"

#include "launcher/UpdateDocuments.h"
#include "tests/support/Minisign.h"
#include "tests/support/ZipBuilder.h"

#include <sodium.h>

#include <cstdio>
#include <filesystem>

namespace {

const char kSignatureBox[] = "Error: Update list signature is not valid;";
const char kDownloadBox[] = "Error: Update download error;";

enum class Signature { Good, Legacy, OtherKey, ListChanged, CommentChanged, Missing, Huge };
enum class Listing { HashAndSize, NoHash, WrongSize };
enum class Key { Studio, None, NotAKey }; // what "ListKey" holds

struct SignedCase {
    const char* name;
    const char* from; // installed version before the run
    Key key;
    Listing listing;
    Signature signature;
    bool packageChanged; // the server's package differs from the one the list was made for
    const char* boxes;
    const char* installed; // recorded version; empty when the run aborted before recording
};

std::string Sha256Hex(const std::string& bytes) {
    uint8_t hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(hash, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    char hex[2 * sizeof hash + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    return hex;
}

std::string EntryXml(const std::string& to, const std::string& file, const std::string& package,
                     Listing listing) {
    std::string xml = "  <update><for>1.0</for><to>" + to + "</to><file>" + file + "</file>";
    if (listing != Listing::NoHash)
        xml += "<sha256>" + Sha256Hex(package) + "</sha256><size>" +
               std::to_string(package.size() + (listing == Listing::WrongSize)) + "</size>";
    return xml + "</update>\n";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class SignedList : public UpdaterFixture {};

TEST_F(SignedList, OnlyWhatTheStudioSignedAndHashedIsApplied) {
    const MinisignKey studio, other;
    const std::string package = ZipBuilder().File("versions/1.1.txt", "v1.1").Bytes();
    const std::string changed = ZipBuilder().File("versions/1.1.txt", "v1.X").Bytes();
    const SignedCase cases[] = {
        {"good list", "1.0", Key::Studio, Listing::HashAndSize, Signature::Good, false, "", "1.1"},
        {"legacy algorithm", "1.0", Key::Studio, Listing::HashAndSize, Signature::Legacy, false, "",
         "1.1"},
        {"list changed after signing", "1.0", Key::Studio, Listing::HashAndSize,
         Signature::ListChanged, false, kSignatureBox, ""},
        {"signed by another key", "1.0", Key::Studio, Listing::HashAndSize, Signature::OtherKey,
         false, kSignatureBox, ""},
        {"no .minisig", "1.0", Key::Studio, Listing::HashAndSize, Signature::Missing, false,
         kSignatureBox, ""},
        {"trusted comment changed", "1.0", Key::Studio, Listing::HashAndSize,
         Signature::CommentChanged, false, kSignatureBox, ""},
        {"endless .minisig", "1.0", Key::Studio, Listing::HashAndSize, Signature::Huge, false,
         kSignatureBox, ""},
        {"package changed after listing", "1.0", Key::Studio, Listing::HashAndSize, Signature::Good,
         true, kDownloadBox, "1.0"},
        {"entry without sha256", "1.0", Key::Studio, Listing::NoHash, Signature::Good, false,
         kDownloadBox, "1.0"},
        {"older signed list replayed", "1.2", Key::Studio, Listing::HashAndSize, Signature::Good,
         false, "", "1.2"},
        {"ListKey not a key", "1.0", Key::NotAKey, Listing::HashAndSize, Signature::Good, false,
         kSignatureBox, ""},
        {"no key, unsigned list", "1.0", Key::None, Listing::NoHash, Signature::Missing, false, "",
         "1.1"},
        {"no key, package changed", "1.0", Key::None, Listing::HashAndSize, Signature::Missing,
         true, kDownloadBox, "1.0"},
        {"no key, size wrong", "1.0", Key::None, Listing::WrongSize, Signature::Missing, false,
         kDownloadBox, "1.0"},
    };
    int index = 0;
    for (const SignedCase& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string base = "c" + std::to_string(++index);
        const std::string list = "<?xml version=\"1.0\"?>\n<game>\n" +
                                 EntryXml("1.1", server.Url(base + ".zip"), package, test.listing) +
                                 "</game>\n";
        std::string served = list, signature;
        switch (test.signature) {
        case Signature::Good:
            signature = studio.Sign(list);
            break;
        case Signature::Legacy:
            signature = studio.Sign(list, true);
            break;
        case Signature::OtherKey:
            signature = other.Sign(list);
            break;
        case Signature::ListChanged:
            signature = studio.Sign(list);
            served = Replaced(list, "<to>1.1", "<to>1.9");
            break;
        case Signature::CommentChanged:
            signature =
                Replaced(studio.Sign(list), "trusted comment: list", "trusted comment: lisT");
            break;
        case Signature::Huge:
            signature = std::string(1 << 20, 'A');
            break;
        case Signature::Missing:
            break;
        }
        server.Serve(base + ".xml", served);
        if (!signature.empty())
            server.Serve(base + ".xml.minisig", signature);
        server.Serve(base + ".zip", test.packageChanged ? changed : package);
        WriteIni({{"URL1", server.Url(base + ".xml")},
                  {"ListKey", test.key == Key::Studio    ? studio.PublicLine()
                              : test.key == Key::NotAKey ? "RWQ" + studio.PublicLine()
                                                         : ""}});
        remove(Updater::kInstalledUpdates);
        if (*test.installed) {
            ASSERT_TRUE(WriteInstalledUpdates(Updater::kInstalledUpdates, test.from));
        }
        std::filesystem::remove_all(Installed("versions"));

        EXPECT_EQ(test.boxes, RunUpdate());
        EXPECT_EQ(*test.installed ? Finished : Aborted, updater.state.load());
        EXPECT_EQ(test.installed, InstalledVersion());
        const bool applied = std::string(test.installed) == "1.1";
        EXPECT_EQ(applied, std::filesystem::exists(Installed("versions/1.1.txt")));
        // A package is fetched only from a list that passed, and only when its entry can be
        // checked.
        const bool fetched = *test.installed && test.from == std::string("1.0") &&
                             !(test.key == Key::Studio && test.listing == Listing::NoHash);
        EXPECT_EQ(fetched, server.Hits(base + ".zip") == 1);
    }
    ExpectTempFilesRemoved();
}

} // namespace
