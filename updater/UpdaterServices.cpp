#include "updater/UpdaterServices.h"

#include "core/platform/Admin.h"
#include "core/platform/DiskSpace.h"
#include "core/platform/MessageBox.h"
#include "core/platform/TempFile.h"

namespace {

class SystemServices : public UpdaterServices {
public:
    void ShowMessage(void* owner, const char* text, const char* caption) override {
        PlatformMessageBox(owner, text, caption);
    }
    bool IsUserAdmin() override { return PlatformIsUserAdmin(); }
    bool DiskFreeBytes(const char* path, uint64_t* freeBytes) override {
        return PlatformDiskFreeBytes(path, freeBytes);
    }
    bool CreateTempFile(char* destination, size_t size) override {
        return PlatformCreateTempFile(destination, size);
    }
};

} // namespace

UpdaterServices& SystemUpdaterServices() {
    static SystemServices services;
    return services;
}
