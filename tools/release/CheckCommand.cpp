// check SITE_DIR_OR_LIST [--from V]: the list as the launcher reads it, the chain one run
// applies from V (by default the first entry's "for"), and for every package that lies beside
// the list whether the launcher takes it. Exit code 1 when a package present is refused.
#include "tools/release/ArchiveCheck.h"
#include "tools/release/ReleaseArgs.h"
#include "tools/release/ReleaseCommands.h"
#include "tools/release/UpdateListFile.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr size_t kProblemsShown = 20;

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

// Reports one package; false when the launcher would refuse it.
bool ReportPackage(const fs::path& siteDir, const UpdateRecord& record, const ReleaseIo& io) {
    const std::string name = LocalName(record.file);
    std::error_code code;
    const fs::path path = siteDir / name;
    if (name.empty() || !fs::is_regular_file(path, code)) {
        fprintf(io.out, "  %s: not here, not checked\n", record.file);
        return true;
    }
    const ArchiveReport report = CheckArchive(path.generic_string());
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
    if (!ParseArgs(args, {"--from"}, {}, &parsed, &error) || parsed.positional.size() != 1) {
        io.Fail(error.empty() ? "check takes one site directory or list" : error);
        return kUsageError;
    }
    std::error_code code;
    fs::path listPath = parsed.positional[0];
    if (fs::is_directory(listPath, code))
        listPath /= kDefaultListName;
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

    fprintf(io.out, "packages:\n");
    bool accepted = true;
    for (const UpdateRecord& record : list)
        accepted = ReportPackage(listPath.parent_path(), record, io) && accepted;
    return accepted ? 0 : 1;
}
