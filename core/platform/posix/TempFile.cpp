#include "core/platform/TempFile.h"

#include "core/strings/BoundedText.h"

#include <unistd.h>

#include <cstdlib>

bool PlatformCreateTempFile(char* destination, size_t size) {
    if (size)
        destination[0] = '\0';
    const char* directory = getenv("TMPDIR");
    if (!directory || !*directory)
        directory = "/tmp";
    char name[4096];
    if (StrFormat(name, sizeof name, "%s/updXXXXXX", directory) > sizeof name)
        return false;
    // mkstemp creates the file, which is what makes the name ours.
    const int descriptor = mkstemp(name);
    if (descriptor < 0)
        return false;
    close(descriptor);
    if (StrCopy(destination, size, name) > size) {
        unlink(name);
        destination[0] = '\0';
        return false;
    }
    return true;
}
