// check SITE_DIR_OR_LIST [--from V] [--key PUBKEY_FILE] [--old DIR]: the list as the launcher
// reads it, the chain one run applies from V (by default the first entry's "for"), and for every
// package that lies beside the list whether the launcher takes it. With a key, the list's
// signature and every entry's hash as a launcher with that "ListKey" checks them. With DIR (the
// installation at V), the deltas of the first update applied, patched onto its files. Exit code
// 1 when the signature, a package present or a delta is refused.
#include "tools/release/ArchiveCheck.h"
#include "tools/release/ReleaseArgs.h"
#include "tools/release/ReleaseCommands.h"
#include "tools/release/UpdateListFile.h"
#include "updater/ListSignature.h"
#include "updater/PackageHash.h"
#include "updater/Updater.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr size_t kProblemsShown = 20;
// Far more than a minisign public key file holds.
constexpr size_t kKeyFileMaxBytes = 4096;

// The last path segment of an address, without query or fragment: where a static site keeps
// the package beside its list.
std::string LocalName(const std::string& address) {
    const std::string path = address.substr(0, address.find_first_of("?#"));
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

double Megabytes(uint64_t bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

// The key in a minisign public key file: its first line that is not a comment.
bool ReadKeyFile(const std::string& path, ListKey* key) {
    std::string text;
    if (!ReadFileBytes(path, &text, kKeyFileMaxBytes))
        return false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.compare(0, 18, "untrusted comment:") != 0)
            return ListKeyParse(line.c_str(), key);
        start = end + 1;
    }
    return false;
}

// Reports the list's signature by key, read beside it as the launcher fetches it; false when
// the launcher would refuse the list.
bool ReportSignature(const std::string& listPath, const ListKey& key, const ReleaseIo& io) {
    const std::string signaturePath = listPath + ".minisig";
    std::string list, signature;
    if (!ReadFileBytes(listPath, &list) ||
        !ReadFileBytes(signaturePath, &signature, Updater::kSignatureMaxBytes)) {
        fprintf(io.out,
                "signature: REFUSED: cannot read %s, or it is larger than the %u bytes the "
                "launcher takes\n",
                signaturePath.c_str(), unsigned(Updater::kSignatureMaxBytes));
        return false;
    }
    const bool valid =
        ListSignatureValid(key, list.data(), list.size(), signature.data(), signature.size());
    fprintf(io.out, "signature: %s\n",
            valid ? "valid" : "REFUSED: not a signature of this list by this key");
    return valid;
}

// A package an entry lists: the full one ("file", "sha256", "size") or its deltas ("delta",
// "deltasha256", "deltasize").
struct Listing {
    const char* url;
    const char* hashElement;
    const char* sizeElement;
    bool readable; // its hash and size, where given, are well-formed
    ListedPackage listed;
};

Listing FullListing(const UpdateRecord& record) {
    Listing listing{record.file, "<sha256>", "<size>", false, {}};
    listing.readable = ReadListedPackage(record, &listing.listed);
    return listing;
}

Listing DeltaListing(const UpdateRecord& record) {
    Listing listing{record.delta, "<deltasha256>", "<deltasize>", false, {}};
    listing.readable = ReadListedDelta(record, &listing.listed);
    return listing;
}

// Reports what the entry lists of a package; false when the launcher would refuse the entry
// before its download or the package at path (when there is one) after it.
bool ReportListing(const Listing& listing, const fs::path* path, bool keySet, const ReleaseIo& io) {
    const ListedPackage& listed = listing.listed;
    std::string refusal;
    if (!listing.readable)
        refusal = std::string("its ") + listing.hashElement + " is not 64 hex digits or its " +
                  listing.sizeElement + " not a number of bytes";
    else if (keySet && !listed.hasHash)
        refusal =
            std::string("no ") + listing.hashElement + ", which a launcher with a ListKey requires";
    else if (path && (listed.hasHash || listed.hasSize)) {
        PackageHasher hasher;
        PackageHasherStart(&hasher);
        if (!PackageHasherAddFile(&hasher, path->generic_string().c_str()) ||
            !PackageHasherMatches(&hasher, listed))
            refusal = std::string("the package does not match the ") + listing.hashElement +
                      " and " + listing.sizeElement + " listed";
    }
    if (!refusal.empty())
        fprintf(io.out, "  %s: REFUSED: %s\n", listing.url, refusal.c_str());
    return refusal.empty();
}

// Reports one package, its deltas applied to the files below oldDir where given; false when
// the launcher would refuse it.
bool ReportPackage(const fs::path& siteDir, const Listing& listing, bool keySet,
                   const std::string* oldDir, const ReleaseIo& io) {
    const std::string name = LocalName(listing.url);
    std::error_code code;
    const fs::path path = siteDir / name;
    const bool here = !name.empty() && fs::is_regular_file(path, code);
    if (!ReportListing(listing, here ? &path : nullptr, keySet, io))
        return false;
    if (!here) {
        fprintf(io.out, "  %s: not here, not checked\n", listing.url);
        return true;
    }
    const ArchiveReport report = CheckArchive(path.generic_string(), oldDir);
    if (!report.readable) {
        fprintf(io.out, "  %s: REFUSED: not a readable zip archive\n", name.c_str());
        return false;
    }
    fprintf(io.out, "  %s: %s, %llu entries, %.1f MB unpacked, %.1f MB packed\n", name.c_str(),
            report.problems.empty() ? "ok" : "REFUSED",
            static_cast<unsigned long long>(report.entries), Megabytes(report.bytes),
            Megabytes(fs::file_size(path, code)));
    for (size_t i = 0; i < report.problems.size() && i < kProblemsShown; ++i)
        fprintf(io.out, "    %s\n", report.problems[i].c_str());
    if (report.problems.size() > kProblemsShown)
        fprintf(io.out, "    and %zu more\n", report.problems.size() - kProblemsShown);
    return report.problems.empty();
}

} // namespace

int CheckCommand(const ReleaseArgs& args, const ReleaseIo& io) {
    ParsedArgs parsed;
    std::string error;
    if (!ParseArgs(args, {"--from", "--key", "--old"}, {}, &parsed, &error) ||
        parsed.positional.size() != 1) {
        io.Fail(error.empty() ? "check takes one site directory or list" : error);
        return kUsageError;
    }
    std::error_code code;
    fs::path listPath = parsed.positional[0];
    if (fs::is_directory(listPath, code))
        listPath /= kDefaultListName;
    const bool keySet = parsed.values.count("--key") != 0;
    ListKey key;
    if (keySet && !ReadKeyFile(parsed.Value("--key"), &key))
        return io.Fail(parsed.Value("--key") + " is not a minisign public key file");
    UpdateList list;
    if (!ReadSiteList(listPath.generic_string(), &list, &error))
        return io.Fail(error);

    fprintf(io.out, "%s: %zu updates\n", listPath.generic_string().c_str(), list.size());
    for (size_t i = 0; i < list.size(); ++i)
        fprintf(io.out, "  %zu. %s -> %s \"%s\" %s\n", i + 1, list[i].forVersion, list[i].toVersion,
                list[i].name, list[i].file);

    const std::string from =
        parsed.Value("--from", list.empty() ? std::string() : list.front().forVersion);
    std::string chain = from;
    const std::vector<size_t> applied = AppliedEntries(list, from.c_str());
    for (const size_t index : applied)
        chain += std::string(" -> ") + list[index].toVersion;
    fprintf(io.out, "one run from %s applies %zu: %s\n", from.c_str(), applied.size(),
            chain.c_str());

    const bool oldSet = parsed.values.count("--old") != 0;
    const std::string oldDir = parsed.Value("--old");
    if (oldSet && !fs::is_directory(oldDir, code))
        return io.Fail(oldDir + " is not a directory");

    bool accepted = !keySet || ReportSignature(listPath.generic_string(), key, io);
    fprintf(io.out, "packages:\n");
    for (size_t i = 0; i < list.size(); ++i) {
        const fs::path siteDir = listPath.parent_path();
        accepted = ReportPackage(siteDir, FullListing(list[i]), keySet, nullptr, io) && accepted;
        // Only the first update applied starts from the installation at --from.
        const bool first = oldSet && !applied.empty() && applied.front() == i;
        if (*list[i].delta)
            accepted = ReportPackage(siteDir, DeltaListing(list[i]), keySet,
                                     first ? &oldDir : nullptr, io) &&
                       accepted;
    }
    return accepted ? 0 : 1;
}
