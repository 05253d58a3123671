// package OLD_DIR NEW_DIR --from V1 --to V2 --url BASE_URL --out SITE_DIR [--name TEXT]
//         [--list FILE] [--force]
// Everything is checked before anything is written: the versions, the list, the trees and
// every name. The archive is then written beside its final name and moved there, and the list
// is replaced in one step, so a failure leaves the site as it was.
#include "core/platform/FileReplace.h"
#include "core/strings/BoundedText.h"
#include "core/strings/TextCompare.h"
#include "tools/release/PackageWriter.h"
#include "tools/release/ReleaseArgs.h"
#include "tools/release/ReleaseCommands.h"
#include "tools/release/ReleaseNames.h"
#include "tools/release/UpdateListFile.h"
#include "updater/PackageHash.h"
#include "updater/RemovalRecord.h"
#include "updater/UpdateDocuments.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include <sodium.h>

namespace fs = std::filesystem;

namespace {

// A file name and URL part made of the versions: other characters than letters, digits, '.',
// '-' and '_' become '_'.
std::string PackageFileName(const std::string& from, const std::string& to, const char* kind = "") {
    std::string name = "update-" + from + "-to-" + to + kind + ".zip";
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_')
            c = '_';
    return name;
}

bool Inside(const fs::path& path, const fs::path& dir) {
    std::error_code code;
    const fs::path full = fs::weakly_canonical(path, code);
    const fs::path base = fs::weakly_canonical(dir, code);
    const auto mismatch = std::mismatch(base.begin(), base.end(), full.begin(), full.end());
    return !code && mismatch.first == base.end();
}

struct Release {
    std::string oldDir, newDir, siteDir, listPath, zipName, zipPath;
    std::string deltaName, deltaPath, deltaUrl; // of the package of deltas
    UpdateRecord entry{};
    bool force = false;
};

// Fills release from the command line; the reason in *error when it cannot be.
bool ReadRelease(const ReleaseArgs& args, Release* release, std::string* error, bool* usage) {
    ParsedArgs parsed;
    *usage = !ParseArgs(args, {"--from", "--to", "--url", "--out", "--name", "--list"}, {"--force"},
                        &parsed, error);
    const char* required[] = {"--from", "--to", "--url", "--out"};
    for (const char* option : required)
        if (!*usage && !parsed.values.count(option)) {
            *error = std::string(option) + " is missing";
            *usage = true;
        }
    if (!*usage && parsed.positional.size() != 2) {
        *error = "package takes OLD_DIR and NEW_DIR";
        *usage = true;
    }
    if (*usage)
        return false;
    const std::string from = parsed.Value("--from"), to = parsed.Value("--to");
    for (const std::string& version : {from, to})
        if (const char* problem = VersionProblem(version)) {
            *error = "\"" + version + "\": " + problem;
            return false;
        }
    if (StrEqualNoCase(from.c_str(), to.c_str())) {
        *error = "--from and --to name the same version";
        return false;
    }
    release->oldDir = parsed.positional[0];
    release->newDir = parsed.positional[1];
    release->siteDir = parsed.Value("--out");
    release->listPath =
        (fs::path(release->siteDir) / parsed.Value("--list", kDefaultListName)).generic_string();
    release->zipName = PackageFileName(from, to);
    release->zipPath = (fs::path(release->siteDir) / release->zipName).generic_string();
    release->deltaName = PackageFileName(from, to, "-delta");
    release->deltaPath = (fs::path(release->siteDir) / release->deltaName).generic_string();
    release->force = parsed.flags.count("--force") != 0;

    std::string url = parsed.Value("--url");
    if (url.empty() || url.back() != '/')
        url += '/';
    release->deltaUrl = url + release->deltaName;
    url += release->zipName;
    const std::string name = parsed.Value("--name", "update " + from + " to " + to);
    UpdateRecord& entry = release->entry;
    if (StrCopy(entry.file, sizeof entry.file, url.c_str()) > sizeof entry.file ||
        release->deltaUrl.size() >= sizeof entry.delta ||
        StrCopy(entry.name, sizeof entry.name, name.c_str()) > sizeof entry.name) {
        *error = "the package's address or the name is longer than the launcher's 511 characters";
        return false;
    }
    StrCopy(entry.forVersion, sizeof entry.forVersion, from.c_str());
    StrCopy(entry.toVersion, sizeof entry.toVersion, to.c_str());
    return true;
}

// The site may already hold this release: refused unless forced, and then the list keeps its
// entry. Sets *listed, and copies the entry into *listedEntry, when it is there already.
bool CheckSite(const Release& release, bool* listed, UpdateRecord* listedEntry,
               std::string* error) {
    std::error_code code;
    *listed = false;
    if (Inside(release.siteDir, release.newDir) || Inside(release.siteDir, release.oldDir)) {
        *error = "the site " + release.siteDir + " lies inside a game directory";
        return false;
    }
    UpdateList list;
    if (fs::exists(release.listPath, code) && !ReadSiteList(release.listPath, &list, error))
        return false;
    for (const UpdateRecord& record : list) {
        if (!StrEqualNoCase(record.forVersion, release.entry.forVersion) ||
            !StrEqualNoCase(record.toVersion, release.entry.toVersion))
            continue;
        if (!release.force || strcmp(record.file, release.entry.file) != 0) {
            *error = release.listPath + " already has an update from " + release.entry.forVersion +
                     " to " + release.entry.toVersion +
                     (release.force ? " for another file; edit the list first"
                                    : "; --force builds its package again");
            return false;
        }
        *listed = true;
        *listedEntry = record;
    }
    for (const std::string& path : {release.zipPath, release.deltaPath})
        if (!release.force && fs::exists(path, code)) {
            *error = path + " exists; --force replaces it";
            return false;
        }
    return true;
}

bool CheckNames(const TreeChanges& changes, std::string* error) {
    std::vector<std::string> names = changes.emptyDirs;
    for (const PackedFile& file : changes.files)
        names.push_back(file.name);
    names.insert(names.end(), changes.removed.begin(), changes.removed.end());
    if (RemovalRecordText(changes.removed).size() > kRemovalRecordMaxBytes) {
        *error = "more files are removed than the launcher's record of them takes";
        return false;
    }
    for (const std::string& name : names) {
        const char* problem = name.find('\\') != std::string::npos
                                  ? "the name holds a '\\', which the launcher reads as a "
                                    "separator"
                                  : EntryNameProblem(name);
        if (problem) {
            *error = name + ": " + problem;
            return false;
        }
    }
    return true;
}

// Lists the package's hash and size in sha256 and size, through the launcher's own hasher.
bool ListPackage(const std::string& zipPath, char (&sha256)[UpdateRecord::kHashTextSize],
                 char (&size)[UpdateRecord::kSizeTextSize], std::string* error) {
    PackageHasher hasher;
    PackageHasherStart(&hasher);
    if (!PackageHasherAddFile(&hasher, zipPath.c_str())) {
        *error = "cannot read " + zipPath;
        return false;
    }
    uint8_t hash[crypto_hash_sha256_BYTES];
    PackageHasherFinish(&hasher, hash);
    sodium_bin2hex(sha256, sizeof sha256, hash, sizeof hash);
    StrFormat(size, sizeof size, "%llu", static_cast<unsigned long long>(hasher.bytes));
    return true;
}

// An earlier entry for the same version takes a run elsewhere before it reaches this one.
void WarnIfUnreachable(const Release& release, const ReleaseIo& io) {
    UpdateList list;
    if (!ReadUpdateList(release.listPath.c_str(), &list))
        return;
    for (const size_t index : AppliedEntries(list, release.entry.forVersion))
        if (strcmp(list[index].file, release.entry.file) == 0)
            return;
    fprintf(io.err,
            "gamerelease: warning: a run from %s applies an earlier entry of %s first and "
            "never reaches this update\n",
            release.entry.forVersion, release.listPath.c_str());
}

} // namespace

int PackageCommand(const ReleaseArgs& args, const ReleaseIo& io) {
    Release release;
    std::string error;
    bool usage = false;
    if (!ReadRelease(args, &release, &error, &usage)) {
        io.Fail(error);
        return usage ? kUsageError : 1;
    }
    bool listed = false;
    UpdateRecord listedEntry{};
    if (!CheckSite(release, &listed, &listedEntry, &error))
        return io.Fail(error);

    TreeChanges changes;
    {
        ProgressLine progress(io.progress, "comparing");
        if (!CompareTrees(release.oldDir, release.newDir, &changes, &progress, &error))
            return io.Fail(error);
    }
    if (!CheckNames(changes, &error))
        return io.Fail(error);
    if (changes.files.empty() && changes.emptyDirs.empty() && changes.removed.empty())
        return io.Fail("nothing is new or changed in " + release.newDir);

    std::error_code code;
    fs::create_directories(release.siteDir, code);
    const std::string partPath = release.zipPath + ".part";
    const std::string deltaPartPath = release.deltaPath + ".part";
    PackageSummary summary, deltaSummary;
    DeltaSet deltas;
    UpdateRecord& entry = release.entry;
    bool written;
    {
        ProgressLine progress(io.progress, "packing");
        written = WritePackage(partPath, release.newDir, changes, &progress, &summary, &error) &&
                  ListPackage(partPath, entry.sha256, entry.size, &error);
    }
    if (written) {
        ProgressLine progress(io.progress, "deltas");
        written = MakeDeltas(release.oldDir, release.newDir, changes,
                             release.deltaPath + ".scratch", &progress, &deltas, &error);
        if (written && !deltas.deltas.empty()) {
            written = WritePackage(deltaPartPath, release.newDir, changes, &progress, &deltaSummary,
                                   &error, &deltas) &&
                      ListPackage(deltaPartPath, entry.deltaSha256, entry.deltaSize, &error);
            StrCopy(entry.delta, sizeof entry.delta, release.deltaUrl.c_str());
        }
        DeltaSetRelease(&deltas);
    }
    // A list that keeps its entry must still name these packages.
    if (written && listed && *listedEntry.sha256 &&
        (strcmp(listedEntry.sha256, entry.sha256) != 0 ||
         strcmp(listedEntry.size, entry.size) != 0 ||
         strcmp(listedEntry.deltaSha256, entry.deltaSha256) != 0)) {
        error = release.listPath + " lists another hash for " + release.zipName +
                ", and a launcher would refuse the new package; remove its entry first";
        written = false;
    }
    std::string stagedList;
    if (written && !listed)
        written = StageUpdateEntry(release.listPath, release.entry, &stagedList, &error);
    if (written && !PlatformReplaceFile(partPath.c_str(), release.zipPath.c_str())) {
        error = "cannot write " + release.zipPath;
        written = false;
    }
    if (written && *entry.delta &&
        !PlatformReplaceFile(deltaPartPath.c_str(), release.deltaPath.c_str())) {
        error = "cannot write " + release.deltaPath;
        written = false;
    }
    if (!written) {
        remove(partPath.c_str());
        remove(deltaPartPath.c_str());
        if (!stagedList.empty())
            remove(stagedList.c_str());
        return io.Fail(error);
    }
    const uint64_t packed = fs::file_size(release.zipPath, code);
    fprintf(io.out, "%s: %llu entries (%llu stored), %.1f MB, %.1f MB packed\n",
            release.zipPath.c_str(), static_cast<unsigned long long>(summary.entries),
            static_cast<unsigned long long>(summary.stored),
            double(summary.bytes) / (1024.0 * 1024.0), double(packed) / (1024.0 * 1024.0));
    if (*entry.delta)
        fprintf(io.out, "%s: %zu deltas, %.1f MB packed\n", release.deltaPath.c_str(),
                deltas.deltas.size(),
                double(fs::file_size(release.deltaPath, code)) / (1024.0 * 1024.0));
    for (const std::string& removed : changes.removed)
        fprintf(io.out, "removed: %s\n", removed.c_str());

    if (!stagedList.empty() && !PlatformReplaceFile(stagedList.c_str(), release.listPath.c_str())) {
        remove(stagedList.c_str());
        return io.Fail(release.zipPath + " is written but " + release.listPath +
                       " could not be replaced; run again with --force");
    }
    fprintf(io.out, "%s: update %s -> %s, %s\n", release.listPath.c_str(), release.entry.forVersion,
            release.entry.toVersion, release.entry.file);
    WarnIfUnreachable(release, io);
    return 0;
}
