// Hands a package's bytes to its stream on a thread of its own, so that extraction runs on a
// second core beside the transfer, the hash and the package's own file. The bytes wait in a
// queue of at most kFeederQueueBytes; a caller that gets ahead waits for room.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class PackageStream;

constexpr size_t kFeederQueueBytes = 8 << 20;

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
    void Feed();
    // With lock held: waits until the thread has taken every byte.
    void WaitIdle(std::unique_lock<std::mutex>& held);

    PackageStream* stream;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::vector<uint8_t>> queue;
    std::vector<std::vector<uint8_t>> spare; // blocks to use again
    size_t queuedBytes = 0;
    bool busy = false;     // the thread is feeding a block it took
    bool stopping = false; // the thread ends once the queue is empty
    bool finished = false; // Finish or Abandon was called
    std::thread thread;
};
