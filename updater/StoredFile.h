// Writing a received transfer to a file.
#pragma once

#include <cstdint>

// Replaces the file at path with size bytes of data. True only when every byte reached the
// system: a failed open, a short write and a failed flush (a full disk) all give false.
bool StoreInFile(const char* path, const char* data, uint32_t size);
