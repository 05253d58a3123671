// Creates and writes the staged files of a package extracted as it arrives, on a thread of its
// own: making thousands of files costs about as much as decoding them, and with two cores both
// go on at once. The decoder gathers what to do (open this staged file, write these bytes to
// it, close it) into batches of about kWriterBatchBytes that wait in a queue of at most
// kWriterQueueBytes. A failure is kept until the decoder asks for it.
#pragma once

#include "updater/HandOff.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

constexpr size_t kWriterBatchBytes = 1 << 20;
constexpr size_t kWriterQueueBytes = 2 << 20;

class StagedWriter {
public:
    // Starts the thread; where none can be started, each batch is written by the caller.
    StagedWriter();
    // Discards what is not written yet and stops the thread.
    ~StagedWriter();
    StagedWriter(const StagedWriter&) = delete;
    StagedWriter& operator=(const StagedWriter&) = delete;

    // Creates (or empties) the file at path, which is copied, for the writes that follow.
    void Open(const char* path);
    void Write(const uint8_t* data, size_t size);
    // Closes the file; one of at least a megabyte is first handed to the device.
    void Close();
    // Hands over what is gathered when the thread waits for work, so that files get written
    // while the transfer waits for bytes.
    void Offer();
    // Whether an open, a write or a close has failed so far.
    bool Failed() const { return failed.load(std::memory_order_acquire); }
    // Waits until everything handed over is written; true when all of it was.
    bool Drain();
    // Drops what is not written yet, closes the file being written and forgets failures.
    void Discard();

private:
    struct Op {
        enum Kind : uint8_t { Open, Write, Close } kind;
        size_t size; // of the path with its terminator, or of the data
    };
    struct Batch {
        std::vector<uint8_t> bytes;
        std::vector<Op> ops;
    };

    // Adds an operation and its bytes to the batch being gathered.
    void Gather(Op::Kind kind, const uint8_t* data, size_t size);
    void Push();
    void Run(Batch& batch);
    void Fail();

    Batch gathering;
    // Written by whoever runs a batch: the thread, or the caller while the thread is idle.
    FILE* file = nullptr;
    uint64_t fileBytes = 0;
    std::atomic<bool> failed{false};
    HandOff<Batch> writing; // last: its thread stops before the rest goes
};
