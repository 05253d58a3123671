// What the updater needs from the world outside the process besides the network: message
// boxes, the rights test, free disk space and temporary files. The system's answers are the
// default; tests put in their own, so that no box waits for a click and every failure can be
// provoked.
#pragma once

#include <cstddef>
#include <cstdint>

class UpdaterServices {
public:
    virtual ~UpdaterServices() = default;

    // A modal box with an OK button owned by the native window owner (null for none); returns
    // when the user has closed it.
    virtual void ShowMessage(void* owner, const char* text, const char* caption) = 0;
    // Whether the process may change the installation.
    virtual bool IsUserAdmin() = 0;
    // Bytes free on the volume of path; false when that cannot be told.
    virtual bool DiskFreeBytes(const char* path, uint64_t* freeBytes) = 0;
    // Creates an empty file with a unique name in the temporary directory and writes its path
    // into destination (size bytes); false when none could be made.
    virtual bool CreateTempFile(char* destination, size_t size) = 0;
};

// The system's answers (core/platform). One shared instance; it holds no state.
UpdaterServices& SystemUpdaterServices();
