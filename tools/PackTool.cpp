#include "tools/PackTool.h"

#include "tools/PackCommands.h"

#include <cstdarg>
#include <cstring>

namespace {
constexpr int kUsageError = 2;

const char kUsage[] =
    "usage: packtool COMMAND ARGS...\n"
    "  build DIR OUT.pack        pack every file of a known type below DIR\n"
    "  list FILE                 show a pack data file or an index file\n"
    "  extract PACK NAME.EXT OUT copy one file out of a pack data file\n"
    "  index OUT [--big-endian] [--table] [--version-source FILE --version-text TEXT] "
    "ITEMS...\n"
    "                            register directories, packs and files, mount the packs and\n"
    "                            write an index (--table also writes \"table\" here)\n"
    "  checksum FILE...          print each file's checksum\n";

struct Command {
    const char* name;
    size_t minArgs;
    int (*run)(const ToolArgs&, const ToolIo&);
};

const Command kCommands[] = {
    {"build", 2, BuildCommand}, {"list", 1, ListCommand},         {"extract", 3, ExtractCommand},
    {"index", 2, IndexCommand}, {"checksum", 1, ChecksumCommand},
};
} // namespace

int ToolIo::Fail(const char* format, ...) const {
    fputs("packtool: error: ", err);
    va_list arguments;
    va_start(arguments, format);
    vfprintf(err, format, arguments);
    va_end(arguments);
    fputc('\n', err);
    return 1;
}

int PackToolMain(int argc, char** argv) {
    return PackToolMain(argc, argv, stdout, stderr);
}

int PackToolMain(int argc, char** argv, FILE* out, FILE* err) {
    const ToolIo io{out, err};
    if (argc < 2) {
        fputs(kUsage, err);
        return kUsageError;
    }
    for (const Command& command : kCommands) {
        if (strcmp(argv[1], command.name) != 0)
            continue;
        const ToolArgs args(argv + 2, argv + argc);
        if (args.size() < command.minArgs) {
            fputs(kUsage, err);
            return kUsageError;
        }
        const int code = command.run(args, io);
        fflush(out);
        return code;
    }
    fprintf(err, "packtool: unknown command \"%s\"\n%s", argv[1], kUsage);
    return kUsageError;
}
