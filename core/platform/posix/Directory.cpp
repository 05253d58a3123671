#include "core/platform/Directory.h"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

bool PlatformMakeDirectory(const char* path) {
    return mkdir(path, 0777) == 0;
}

bool PlatformIsDirectory(const char* path) {
    struct stat status;
    return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

bool PlatformCurrentDirectory(char* destination, size_t size) {
    if (size == 0 || !getcwd(destination, size)) {
        if (size)
            destination[0] = '\0';
        return false;
    }
    return true;
}

bool PlatformIsPlainDirectory(const char* path) {
    struct stat status;
    return lstat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

bool PlatformIsPlainFile(const char* path) {
    struct stat status;
    return lstat(path, &status) == 0 && S_ISREG(status.st_mode);
}

bool PlatformDirectoryNames(const char* path, PlatformNameVisit visit, void* user) {
    DIR* directory = opendir(path);
    if (!directory)
        return false;
    while (const dirent* item = readdir(directory))
        if (strcmp(item->d_name, ".") != 0 && strcmp(item->d_name, "..") != 0)
            visit(item->d_name, user);
    closedir(directory);
    return true;
}

namespace {
int RemoveItem(const char* path, const struct stat*, int kind, struct FTW*) {
    return (kind == FTW_DP ? rmdir(path) : unlink(path)) == 0 ? 0 : -1;
}
} // namespace

bool PlatformRemoveTree(const char* path) {
    struct stat status;
    if (lstat(path, &status) != 0)
        return true;
    // Children first, links as themselves, never across into another file system.
    nftw(path, RemoveItem, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
    return lstat(path, &status) != 0;
}
