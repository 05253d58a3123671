// The benchmark's game data: many small files and a few large ones, written loose and then
// into the two archives compared, our pack and a stored zip.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BenchFile {
    std::string name;      // without extension, as FileService takes it
    std::string extension; // a known type
    uint32_t size;

    std::string FileName() const { return name + "." + extension; }
};

// count files: one in a hundred of 256 KB to 1 MB, the others of 1 to 16 KB; names are spread
// over subdirectories. The same seed gives the same plan.
std::vector<BenchFile> PlanFiles(size_t count, uint64_t seed);

// Writes each file with pseudo-random bytes below dir; false on a write error.
bool WriteLooseFiles(const std::string& dir, const std::vector<BenchFile>& files);

// Copies the loose files below dir into a zip archive at zipPath without compression.
bool WriteStoredZip(const std::string& dir, const std::vector<BenchFile>& files,
                    const std::string& zipPath);

// The same 64-bit FNV-1a hash over a buffer on both sides, to check they read the same bytes.
uint64_t HashBytes(const void* bytes, size_t size);
