// The game (and LauncherUpdater.exe) in end-to-end tests: appends to "started.txt" in its working
// directory the name it was started under, its arguments and that directory.
#include "core/platform/Directory.h"

#include <cstdio>

int main(int argc, char** argv) {
    const char* name = argv[0];
    for (const char* c = argv[0]; *c; ++c)
        if (*c == '/' || *c == '\\')
            name = c + 1;
    char directory[1024];
    if (!PlatformCurrentDirectory(directory, sizeof directory))
        return 1;
    FILE* record = std::fopen("started.txt", "ab");
    if (!record)
        return 1;
    std::fprintf(record, "%s", name);
    for (int i = 1; i < argc; ++i)
        std::fprintf(record, " [%s]", argv[i]);
    std::fprintf(record, " in %s\n", directory);
    return std::fclose(record) == 0 ? 0 : 1;
}
