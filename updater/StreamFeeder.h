// Hands a package's bytes to its stream on a thread of its own, so that extraction runs on a
// second core beside the transfer, the hash and the package's own file. The bytes wait in a
// queue of at most kFeederQueueBytes, gathered in blocks; a caller that gets ahead waits until
// half of it is taken. Each side wakes the other only when it waits: a switch of threads for
// every piece of a transfer would cost more than the pieces.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class PackageStream;

constexpr size_t kFeederQueueBytes = 4 << 20;
// Pieces are gathered into blocks of up to this size.
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
    void Feed();
    // With lock held: waits until the thread has taken every byte.
    void WaitIdle(std::unique_lock<std::mutex>& held);
    // With lock held: queues a copy of the bytes; false without memory for it.
    bool Queue(const uint8_t* bytes, size_t size);

    PackageStream* stream;
    std::mutex lock;
    std::condition_variable fed;   // the thread waits for bytes
    std::condition_variable taken; // the caller waits for room, or for the thread to be idle
    std::deque<std::vector<uint8_t>> queue;
    std::vector<std::vector<uint8_t>> spare; // blocks to use again
    size_t queuedBytes = 0;
    bool busy = false;     // the thread is feeding a block it took
    bool hungry = false;   // the thread waits on fed
    bool waiting = false;  // the caller waits on taken
    bool stopping = false; // the thread ends once the queue is empty
    bool finished = false; // Finish or Abandon was called
    std::thread thread;
};
