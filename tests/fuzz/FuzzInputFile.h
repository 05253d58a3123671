// One file per fuzzing process, in a directory of its own made once, rewritten for every input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzz {

// The directory, with a trailing '/'.
inline const std::string& InputDirectory() {
    static const std::string path = [] {
        char name[] = "/tmp/fuzz_input_XXXXXX";
        if (!mkdtemp(name))
            abort();
        return std::string(name) + "/";
    }();
    return path;
}

// Writes the input as the file name inside InputDirectory and returns its path.
inline std::string WriteInput(const char* name, const uint8_t* data, size_t size) {
    const std::string path = InputDirectory() + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file || (size > 0 && fwrite(data, 1, size, file) != size))
        abort();
    fclose(file);
    return path;
}

} // namespace fuzz
