// Hands a package's bytes to its stream on a thread of its own, so that extraction runs on a
// second core beside the transfer, the hash and the package's own file. The bytes are copied
// into blocks of up to kFeederBlockBytes that wait in a queue of at most kFeederQueueBytes.
#pragma once

#include "updater/HandOff.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class PackageStream;

constexpr size_t kFeederQueueBytes = 4 << 20;
constexpr size_t kFeederBlockBytes = 256 << 10;

class StreamFeeder {
public:
    // Starts the thread; where none can be started, Add feeds the stream itself.
    explicit StreamFeeder(PackageStream* stream);
    // Abandons the stream unless it was finished.
    ~StreamFeeder();
    StreamFeeder(const StreamFeeder&) = delete;
    StreamFeeder& operator=(const StreamFeeder&) = delete;

    // Queues a copy of the package's next bytes.
    void Add(const void* data, size_t size);
    // Waits until every byte queued is taken, then restarts the stream from the package's first
    // byte.
    void Restart();
    // Waits until every byte queued is taken and stops the thread; the stream's outcome is then
    // final for the bytes given.
    void Finish();
    // Drops whatever still waits, stops the thread and restarts the stream, which closes and
    // drops what it staged: a package given up is not extracted, and its staging folder can go.
    void Abandon();

private:
    using Block = std::vector<uint8_t>;
    bool Queue(const uint8_t* bytes, size_t size);

    PackageStream* stream;
    bool finished = false;  // Finish or Abandon was called
    HandOff<Block> feeding; // last: its thread stops before the rest goes
};
