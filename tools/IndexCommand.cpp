// index OUT [--big-endian] [--table] [--version-source FILE --version-text TEXT] ITEMS...
// Registers each item in order (a directory: every file below it; a .pack file: the pack; any
// other file of a known type: that file), mounts the packs each item brought, and writes the
// index through SaveIndex. A file already found in an earlier item is not registered again.
#include "tools/PackCommands.h"

#include "core/files/FileService.h"
#include "core/files/PackKeys.h"
#include "core/files/VersionsFile.h"
#include "core/strings/TextCompare.h"

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
struct IndexOptions {
    std::string out;
    bool bigEndian = false;
    bool table = false;
    std::string versionSource;
    std::string versionText;
    std::vector<std::string> items;
};

// False with a message on bad options.
bool ParseOptions(const ToolArgs& args, IndexOptions* options, std::string* error) {
    options->out = args[0];
    bool hasSource = false;
    bool hasText = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--big-endian") {
            options->bigEndian = true;
        } else if (arg == "--table") {
            options->table = true;
        } else if (arg == "--version-source" || arg == "--version-text") {
            if (i + 1 == args.size()) {
                *error = arg + " needs a value";
                return false;
            }
            const bool source = arg == "--version-source";
            (source ? options->versionSource : options->versionText) = args[++i];
            (source ? hasSource : hasText) = true;
        } else if (arg.compare(0, 2, "--") == 0) {
            *error = "unknown option " + arg;
            return false;
        } else {
            options->items.push_back(arg);
        }
    }
    if (hasSource != hasText ||
        (hasSource && (options->versionSource.empty() || options->versionText.empty()))) {
        *error = "--version-source and --version-text go together, neither empty";
        return false;
    }
    if (options->items.empty()) {
        *error = "no items to index";
        return false;
    }
    return true;
}

// The directory part of path with its separator, or "./" for a bare file name, so that a
// pack's path is never empty.
std::string DirectoryOf(const std::string& path) {
    const std::string parent = fs::path(path).parent_path().generic_string();
    return parent.empty() ? "./" : parent + "/";
}

// 0 when registered, else the failed command's exit code.
int RegisterItem(FileService* service, const std::string& item, const ToolIo& io) {
    std::error_code code;
    if (fs::is_directory(item, code)) {
        std::vector<std::string> files;
        std::string error;
        if (!ListFilesBelow(item, &files, &error))
            return io.Fail("%s", error.c_str());
        const std::string prefix = item.back() == '/' || item.back() == '\\' ? item : item + "/";
        for (const std::string& file : files)
            service->Register(prefix.c_str(), file.c_str());
        return 0;
    }
    if (!fs::is_regular_file(item, code))
        return io.Fail("%s is neither a file nor a directory", item.c_str());
    char name[kRegisteredNameSize];
    char extension[kRegisteredExtensionSize];
    const std::string fileName = fs::path(item).filename().generic_string();
    if (!SplitFileName(fileName.c_str(), name, extension) ||
        !(StrEqualNoCase(extension, "pack") || FileService::IsKnownType(extension)))
        return io.Fail("%s is not a pack nor a file of a known type", item.c_str());
    service->Register(DirectoryOf(item).c_str(), fileName.c_str());
    return 0;
}

// Mounts every known pack that is not mounted yet; 0, or the failed command's exit code.
int MountNewPacks(FileService* service, const ToolIo& io) {
    for (const auto& pack : service->Packs()) {
        if (pack->name.IsEmpty())
            continue;
        char name[NameKey::kTextSize];
        pack->name.CopyText(name);
        if (service->Mount(name, true))
            continue;
        if (service->MountedCount() == FileService::kMaxMounted)
            return io.Fail("cannot mount %s: at most %d packs are mounted at once", pack->path,
                           FileService::kMaxMounted);
        return io.Fail("cannot read pack %s (missing or not a valid pack data file)", pack->path);
    }
    return 0;
}
} // namespace

int IndexCommand(const ToolArgs& args, const ToolIo& io) {
    IndexOptions options;
    std::string error;
    if (!ParseOptions(args, &options, &error))
        return io.Fail("%s", error.c_str());
    const char* source = options.versionSource.empty() ? nullptr : options.versionSource.c_str();
    if (source) {
        char versionsName[kVersionsNameLength + 1];
        std::error_code code;
        if (!fs::is_regular_file(options.versionSource, code))
            return io.Fail("cannot open version source %s", source);
        if (!VersionsFileName(source, versionsName, sizeof versionsName))
            return io.Fail("the versions file name of %s would be longer than %d characters",
                           source, int(kVersionsNameLength));
        if (options.versionText.size() >= VersionRecord::kTextSize)
            return io.Fail("version text longer than %d characters", VersionRecord::kTextSize - 1);
    }

    FileService service;
    service.Init(nullptr);
    for (const std::string& item : options.items) {
        int result = RegisterItem(&service, item, io);
        if (result == 0)
            result = MountNewPacks(&service, io);
        if (result != 0)
            return result;
    }
    if (!service.SaveIndex(options.out.c_str(), options.bigEndian, options.table, source,
                           source ? options.versionText.c_str() : nullptr))
        return io.Fail("could not write the index %s%s%s", options.out.c_str(),
                       options.table ? ", the checksum table" : "",
                       source ? " or the versions file" : "");
    size_t entries = 0;
    for (const auto& pack : service.Packs())
        for (const PackTypeTable& table : pack->Types())
            entries += table.entries.size();
    fprintf(io.out, "%s: %u packs, %u entries\n", options.out.c_str(),
            unsigned(service.Packs().size()), unsigned(entries));
    return 0;
}
