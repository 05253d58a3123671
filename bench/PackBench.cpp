// FileService against PhysicsFS on the same data: 20 000 files (about 300 MB) in one pack and
// in one stored zip. Measures (a) mounting and reading every file whole into memory, in one
// shuffled order, and (b) 1 000 000 lookups, half of existing and half of missing names.
// Prints each time and the ratio ours / theirs (goals: (a) <= 1.0, (b) <= 0.5).
//
//   build/native/bench/pack_bench [FILES]
//
// The data is generated into a fresh temporary directory and removed afterwards.
#include "bench/PackBenchData.h"

#include "core/files/FileService.h"
#include "core/files/MemoryFile.h"
#include "tools/PackTool.h"

#include <physfs.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <unistd.h>

namespace {
constexpr size_t kDefaultFiles = 20000;
constexpr size_t kLookups = 1000000;
constexpr int kRounds = 3;

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of kRounds, alternating the two sides so that both see the same cache state.
void Compare(const char* what, const std::function<void()>& ours,
             const std::function<void()>& theirs) {
    double best[2] = {1e30, 1e30};
    for (int round = 0; round < kRounds; ++round) {
        best[0] = std::min(best[0], Seconds(ours));
        best[1] = std::min(best[1], Seconds(theirs));
    }
    printf("%-34s ours %8.3f s   physfs %8.3f s   ratio %.3f\n", what, best[0], best[1],
           best[0] / best[1]);
}

[[noreturn]] void Fail(const char* message) {
    fprintf(stderr, "pack_bench: %s\n", message);
    exit(1);
}

struct Query {
    std::string name;
    std::string extension;
    std::string path;
    bool exists;
};

// Reads every file through FileService; returns the hash of all bytes read.
uint64_t ReadAllOurs(const std::string& dir, const std::vector<BenchFile>& files,
                     const std::vector<size_t>& order) {
    FileService service;
    service.Init(nullptr);
    service.Register(dir.c_str(), "bench.pack");
    if (!service.Mount("bench", true))
        Fail("cannot mount bench.pack");
    uint64_t hash = 0;
    for (size_t i : order) {
        MemoryFile* file = service.LoadMemoryFile(files[i].name.c_str(), files[i].extension.c_str(),
                                                  false, __FILE__, __LINE__);
        if (!file || file->GetSize() != files[i].size)
            Fail("FileService could not load a file");
        hash ^= HashBytes(file->GetData(), 64) + i;
        file->Release();
    }
    return hash;
}

uint64_t ReadAllTheirs(const std::string& zipPath, const std::vector<BenchFile>& files,
                       const std::vector<size_t>& order) {
    if (!PHYSFS_mount(zipPath.c_str(), nullptr, 0))
        Fail("PhysicsFS cannot mount the zip");
    uint64_t hash = 0;
    for (size_t i : order) {
        PHYSFS_File* file = PHYSFS_openRead(files[i].FileName().c_str());
        if (!file)
            Fail("PhysicsFS cannot open a file");
        const PHYSFS_sint64 length = PHYSFS_fileLength(file);
        char* bytes = static_cast<char*>(malloc(size_t(length)));
        if (!bytes || PHYSFS_readBytes(file, bytes, PHYSFS_uint64(length)) != length ||
            length != PHYSFS_sint64(files[i].size))
            Fail("PhysicsFS could not read a file");
        hash ^= HashBytes(bytes, 64) + i;
        free(bytes);
        PHYSFS_close(file);
    }
    PHYSFS_unmount(zipPath.c_str());
    return hash;
}

std::vector<Query> MakeQueries(const std::vector<BenchFile>& files) {
    std::mt19937_64 random(7);
    std::vector<Query> queries;
    queries.reserve(kLookups);
    for (size_t i = 0; i < kLookups; ++i) {
        const BenchFile& file = files[random() % files.size()];
        const bool exists = i % 2 == 0;
        const std::string name = exists ? file.name : file.name + "x";
        queries.push_back({name, file.extension, name + "." + file.extension, exists});
    }
    return queries;
}
} // namespace

int main(int argc, char** argv) {
    const size_t count = argc > 1 ? size_t(atol(argv[1])) : kDefaultFiles;
    if (count == 0)
        Fail("usage: pack_bench [FILES]");
    char dirTemplate[] = "/tmp/pack_bench_XXXXXX";
    if (!mkdtemp(dirTemplate))
        Fail("cannot create a temporary directory");
    const std::string dir = std::string(dirTemplate) + "/";
    const std::string loose = dir + "loose";
    const std::string zipPath = dir + "bench.zip";

    const std::vector<BenchFile> files = PlanFiles(count, 2024);
    uint64_t total = 0;
    for (const BenchFile& file : files)
        total += file.size;
    printf("%zu files, %.1f MB, in %s\n", files.size(), double(total) / 1e6, dir.c_str());
    if (!WriteLooseFiles(loose, files) || !WriteStoredZip(loose, files, zipPath))
        Fail("cannot write the data");
    std::string buildArgs[] = {"packtool", "build", loose, dir + "bench.pack"};
    char* buildArgv[] = {&buildArgs[0][0], &buildArgs[1][0], &buildArgs[2][0], &buildArgs[3][0]};
    if (PackToolMain(4, buildArgv) != 0)
        Fail("cannot build the pack");
    std::filesystem::remove_all(loose);
    if (!PHYSFS_init(argv[0]))
        Fail("PhysicsFS does not start");

    std::vector<size_t> order(files.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937_64(11));
    if (ReadAllOurs(dir, files, order) != ReadAllTheirs(zipPath, files, order))
        Fail("the two sides read different bytes");
    Compare(
        "(a) mount and read every file", [&] { ReadAllOurs(dir, files, order); },
        [&] { ReadAllTheirs(zipPath, files, order); });

    const std::vector<Query> queries = MakeQueries(files);
    FileService service;
    service.Init(nullptr);
    service.Register(dir.c_str(), "bench.pack");
    if (!service.Mount("bench", true) || !PHYSFS_mount(zipPath.c_str(), nullptr, 0))
        Fail("cannot mount the archives");
    size_t found[2] = {};
    Compare(
        "(b) 1 000 000 lookups",
        [&] {
            found[0] = 0;
            for (const Query& query : queries)
                found[0] += service.FindFile(query.name.c_str(), query.extension.c_str(),
                                             nullptr) != nullptr;
        },
        [&] {
            found[1] = 0;
            for (const Query& query : queries)
                found[1] += PHYSFS_exists(query.path.c_str()) != 0;
        });
    if (found[0] != kLookups / 2 || found[1] != kLookups / 2)
        Fail("the lookups found different files");

    PHYSFS_deinit();
    std::filesystem::remove_all(dir);
    return 0;
}
