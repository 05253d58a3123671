#include "tools/release/ReleaseTool.h"

#include "tools/release/ReleaseCommands.h"

#include <cstring>

namespace {

const char kUsage[] =
    "usage: gamerelease COMMAND ARGS...\n"
    "  package OLD_DIR NEW_DIR --from V1 --to V2 --url BASE_URL --out SITE_DIR\n"
    "          [--name TEXT] [--list FILE] [--force]\n"
    "      zip the files that are new or changed in NEW_DIR into SITE_DIR and add the update\n"
    "      V1 -> V2 to SITE_DIR's update list (FILE, default list.xml); --force replaces a\n"
    "      package built before. Where deltas from OLD_DIR are much smaller, a package of\n"
    "      them is written and listed beside the full one\n"
    "  check SITE_DIR_OR_LIST [--from V] [--key PUBKEY_FILE] [--old DIR]\n"
    "      show the list as the launcher reads it, the chain one run applies from V (by\n"
    "      default the first entry's \"for\"), and whether the launcher accepts each\n"
    "      package found beside the list; with DIR, the installation at V, the deltas of\n"
    "      the first update applied are patched onto its files and their results checked\n";

struct Command {
    const char* name;
    int (*run)(const ReleaseArgs&, const ReleaseIo&);
};

const Command kCommands[] = {{"package", PackageCommand}, {"check", CheckCommand}};

} // namespace

int ReleaseIo::Fail(const std::string& message) const {
    fprintf(err, "gamerelease: error: %s\n", message.c_str());
    return 1;
}

int ReleaseToolMain(int argc, char** argv, FILE* out, FILE* err, FILE* progress) {
    const ReleaseIo io{out, err, progress};
    if (argc < 2) {
        fputs(kUsage, err);
        return kUsageError;
    }
    for (const Command& command : kCommands) {
        if (strcmp(argv[1], command.name) != 0)
            continue;
        const int code = command.run(ReleaseArgs(argv + 2, argv + argc), io);
        fflush(out);
        if (code == kUsageError)
            fputs(kUsage, err);
        return code;
    }
    fprintf(err, "gamerelease: unknown command \"%s\"\n%s", argv[1], kUsage);
    return kUsageError;
}
