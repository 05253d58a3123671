// Free disk space.
//
// Contract:
//   PlatformDiskFreeBytes(path, freeBytes)
//       stores in *freeBytes the number of bytes the calling user may still write on the
//       volume of path and returns true; returns false (and leaves *freeBytes alone) when the
//       system cannot answer. Windows asks for the root formed from the path's first character
//       ("C" gives "C:/"), so a path that does not begin with a drive letter, such as a
//       network path, fails. Other targets ask for path itself or, when it does not exist, for
//       the directory that holds it.
#pragma once

#include <cstdint>

bool PlatformDiskFreeBytes(const char* path, uint64_t* freeBytes);
