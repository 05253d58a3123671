// Feeds arbitrary bytes to FileService::LoadIndex through a file. An accepted index must give
// tables that FindFile can search, and written back it must read back to the same bytes.
#include "core/files/FileService.h"
#include "core/files/PackIndexFile.h"
#include "tests/fuzz/FuzzInputFile.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput("index", data, size);
    FileService service;
    if (!service.LoadIndex(path.c_str())) {
        if (!service.Packs().empty())
            abort(); // a refused index adds nothing
        return 0;
    }
    // Only packs whose tables came with it: others would open the paths the input names.
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
                char name[NameKey::kTextSize], extension[5] = {};
                entry.name.CopyText(name);
                memcpy(extension, &type.key.value, 4);
                service.FindFile(name, extension, nullptr);
            }

    const std::vector<uint8_t> written = BuildIndex(service.Packs(), false);
    PackList reread;
    if (ParseIndex(written.data(), written.size(), false, &reread) != IndexParse::Packs ||
        BuildIndex(reread, false) != written)
        abort();
    return 0;
}
