// Feeds arbitrary bytes to FileService::LoadIndex through a file. An accepted index must give
// tables that FindFile can search, and writing them back must read back the same.
#include "core/files/FileService.h"
#include "core/files/PackIndexFile.h"
#include "tests/fuzz/FuzzInputFile.h"

#include <cstdlib>
#include <cstring>

namespace {
void CheckSame(const PackList& a, const PackList& b) {
    if (a.size() != b.size())
        abort();
    for (size_t p = 0; p < a.size(); ++p) {
        if (a[p]->name != b[p]->name || a[p]->TypeCount() != b[p]->TypeCount())
            abort();
        for (size_t t = 0; t < a[p]->Types().size(); ++t)
            if (a[p]->Types()[t].entries.size() != b[p]->Types()[t].entries.size())
                abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput("index", data, size);
    FileService service;
    if (!service.LoadIndex(path.c_str())) {
        if (!service.Packs().empty())
            abort(); // a refused index adds nothing
        return 0;
    }
    // Mount only packs whose tables came with the index: others would open the paths named
    // in the input.
    int mounted = 0;
    for (const auto& pack : service.Packs()) {
        char name[NameKey::kTextSize];
        pack->name.CopyText(name);
        if (pack->TypeCount() != 0 && mounted < FileService::kMaxMounted &&
            service.Mount(name, true))
            ++mounted;
    }
    for (const auto& pack : service.Packs())
        for (const PackTypeTable& type : pack->Types())
            for (const PackEntry& entry : type.entries) {
                char name[NameKey::kTextSize];
                char extension[5] = {};
                entry.name.CopyText(name);
                memcpy(extension, &type.key.value, 4);
                service.FindFile(name, extension, nullptr);
            }

    const std::vector<uint8_t> written = BuildIndex(service.Packs(), false);
    PackList reread;
    if (ParseIndex(written.data(), written.size(), false, &reread) != IndexParse::Packs)
        abort();
    CheckSame(service.Packs(), reread);
    return 0;
}
