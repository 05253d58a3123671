// One line that counts files and megabytes while a tree is read, rewritten in place a few times
// a second; silent without a stream.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

class ProgressLine {
public:
    ProgressLine(FILE* stream, const char* what)
        : stream(stream), what(what), last(std::chrono::steady_clock::now()) {}
    ~ProgressLine() { Finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void AddFile() { ++files; }
    void AddBytes(uint64_t count);
    // Shows the final counts and ends the line; later calls do nothing.
    void Finish();

private:
    void Show(const char* end);

    FILE* stream;
    const char* what;
    uint64_t files = 0;
    uint64_t bytes = 0;
    bool shown = false;
    // The first line waits one interval, so that small trees show none.
    std::chrono::steady_clock::time_point last;
};
