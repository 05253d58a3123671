// Feeds arbitrary bytes to ReadUpdateList through a file, as the updater does with a
// downloaded list, and checks that every record it yields keeps its texts inside their fields.
#include "launcher/PackageHash.h"
#include "launcher/UpdateDocuments.h"

#include "tests/fuzz/FuzzInputFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
void CheckTerminated(const char* field, size_t size) {
    if (!memchr(field, '\0', size))
        abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput("list.xml", data, size);

    UpdateList list;
    if (ReadUpdateList(path.c_str(), &list)) {
        for (const UpdateRecord& record : list) {
            CheckTerminated(record.forVersion, sizeof record.forVersion);
            CheckTerminated(record.toVersion, sizeof record.toVersion);
            CheckTerminated(record.name, sizeof record.name);
            CheckTerminated(record.file, sizeof record.file);
            CheckTerminated(record.sha256, sizeof record.sha256);
            CheckTerminated(record.size, sizeof record.size);
            ListedPackage listed;
            ReadListedPackage(record, &listed);
        }
    } else if (!list.empty()) {
        abort(); // a refused document leaves the list alone
    }
    return 0;
}
