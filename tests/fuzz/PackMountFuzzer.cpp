// Feeds arbitrary bytes to FileService as a pack data file, mounts it and loads every entry in
// both memory file forms. A mount that fails must leave the pack failed and unmounted.
#include "core/files/FileService.h"
#include "core/files/MemoryFile.h"
#include "tests/fuzz/FuzzInputFile.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("input.pack", data, size);
    FileService service;
    service.Init(nullptr);
    service.Register(fuzz::InputDirectory().c_str(), "input.pack");
    if (!service.Mount("input", true)) {
        if (service.MountedCount() != 1 || service.FindPack("input")->TypeCount() != -1)
            abort();
        return 0;
    }
    const PackRecord* pack = service.FindPack("input");
    for (const PackTypeTable& type : pack->Types())
        for (size_t i = 0; i < type.entries.size(); ++i) {
            char name[NameKey::kTextSize];
            char extension[5] = {};
            type.entries[i].name.CopyText(name);
            memcpy(extension, &type.key.value, 4);
            for (bool chunked : {false, true})
                if (MemoryFile* file =
                        service.LoadMemoryFile(name, extension, chunked, __FILE__, __LINE__)) {
                    if (chunked && file->GetSize() > 0 && !file->Seek(int32_t(file->GetSize() - 1)))
                        abort();
                    file->Release();
                }
        }
    return 0;
}
