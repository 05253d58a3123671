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
    // Drops whatever still waits and stops the thread: a package given up is not extracted.
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
    std::thread thread;
};
