#include "bench/PackBenchData.h"

#include <minizip/zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {
const char* const kExtensions[] = {"lua", "mesh", "dds", "anim", "xui", "dat", "fx"};
constexpr size_t kDirectories = 40;

struct Random {
    uint64_t state;
    uint64_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    uint32_t Between(uint32_t low, uint32_t high) {
        return low + uint32_t(Next() % (high - low + 1));
    }
};

std::vector<char> Contents(uint32_t size, uint64_t seed) {
    std::vector<char> bytes(size);
    Random random{seed * 0x9E3779B97F4A7C15ull + 1};
    for (size_t at = 0; at < bytes.size(); at += 8) {
        const uint64_t word = random.Next();
        for (size_t i = 0; i < 8 && at + i < bytes.size(); ++i)
            bytes[at + i] = char(word >> (8 * i));
    }
    return bytes;
}
} // namespace

std::vector<BenchFile> PlanFiles(size_t count, uint64_t seed) {
    Random random{seed};
    std::vector<BenchFile> files;
    for (size_t i = 0; i < count; ++i) {
        char name[32];
        snprintf(name, sizeof name, "d%02u/file%05u", unsigned(i % kDirectories), unsigned(i));
        const bool large = random.Next() % 100 == 0;
        const uint32_t size =
            large ? random.Between(256 << 10, 1 << 20) : random.Between(1 << 10, 16 << 10);
        files.push_back({name, kExtensions[random.Next() % 7], size});
    }
    return files;
}

bool WriteLooseFiles(const std::string& dir, const std::vector<BenchFile>& files) {
    std::error_code code;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::filesystem::path path = std::filesystem::path(dir) / files[i].FileName();
        std::filesystem::create_directories(path.parent_path(), code);
        const std::vector<char> bytes = Contents(files[i].size, i);
        std::ofstream out(path, std::ios::binary);
        if (!out.write(bytes.data(), std::streamsize(bytes.size())))
            return false;
    }
    return true;
}

bool WriteStoredZip(const std::string& dir, const std::vector<BenchFile>& files,
                    const std::string& zipPath) {
    zipFile zip = zipOpen64(zipPath.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool written = true;
    for (const BenchFile& file : files) {
        std::ifstream in(std::filesystem::path(dir) / file.FileName(), std::ios::binary);
        std::vector<char> bytes(file.size);
        zip_fileinfo info = {};
        written = in.read(bytes.data(), std::streamsize(bytes.size())) &&
                  zipOpenNewFileInZip64(zip, file.FileName().c_str(), &info, nullptr, 0, nullptr, 0,
                                        nullptr, 0, 0, 0) == ZIP_OK &&
                  zipWriteInFileInZip(zip, bytes.data(), unsigned(bytes.size())) == ZIP_OK &&
                  zipCloseFileInZip(zip) == ZIP_OK;
        if (!written)
            break;
    }
    return zipClose(zip, nullptr) == ZIP_OK && written;
}

uint64_t HashBytes(const void* bytes, size_t size) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ static_cast<const uint8_t*>(bytes)[i]) * 0x100000001B3ull;
    return hash;
}
