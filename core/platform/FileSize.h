// The size of an open file, for readers that must not take a directory or a device for data.
//
// Contract (every target):
//   PlatformRegularFileSize(stream, size)
//       true, with the file's length in bytes in *size, when stream is open on a regular file;
//       false (*size untouched) for a directory, a device, a pipe or when the system cannot
//       tell. The stream's position does not move. stream must not be null.
#pragma once

#include <cstdint>
#include <cstdio>

bool PlatformRegularFileSize(FILE* stream, uint64_t* size);
