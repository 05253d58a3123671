#include "core/platform/DiskSpace.h"

#include <windows.h>

bool PlatformDiskFreeBytes(const char* path, uint64_t* freeBytes) {
    const char root[4] = {path[0], ':', '/', '\0'};
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters))
        return false;
    *freeBytes = uint64_t(freeClusters) * sectorsPerCluster * bytesPerSector;
    return true;
}
