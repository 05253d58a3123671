#include "updater/StreamFeeder.h"

#include "updater/PackageStream.h"

#include <new>
#include <system_error>

namespace {
// Blocks kept for reuse, so that a transfer in small pieces does not allocate for each.
constexpr size_t kSpareBlocks = 64;
} // namespace

StreamFeeder::StreamFeeder(PackageStream* stream) : stream(stream) {
    try {
        thread = std::thread(&StreamFeeder::Feed, this);
    } catch (const std::system_error&) {
        // Extraction then runs on the caller's thread, as it would on one core.
    }
}

StreamFeeder::~StreamFeeder() {
    if (!finished)
        Abandon();
}

void StreamFeeder::Abandon() {
    finished = true;
    {
        std::lock_guard<std::mutex> held(lock);
        for (const std::vector<uint8_t>& block : queue)
            queuedBytes -= block.size();
        queue.clear();
        stopping = true;
    }
    changed.notify_all();
    if (thread.joinable())
        thread.join();
    stream->Restart();
}

void StreamFeeder::Add(const void* data, size_t size) {
    if (!thread.joinable()) {
        stream->Add(data, size);
        return;
    }
    std::unique_lock<std::mutex> held(lock);
    // One piece larger than the queue still goes in, alone.
    changed.wait(held, [&] { return queuedBytes == 0 || queuedBytes + size <= kFeederQueueBytes; });
    std::vector<uint8_t> block;
    if (!spare.empty()) {
        block.swap(spare.back());
        spare.pop_back();
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    try {
        block.assign(bytes, bytes + size);
        queue.push_back(std::move(block));
    } catch (const std::bad_alloc&) {
        // Without memory for a copy the bytes are fed here, once the thread has taken the rest
        // and waits: the stream is then the caller's.
        WaitIdle(held);
        stream->Add(data, size);
        return;
    }
    queuedBytes += size;
    held.unlock();
    changed.notify_all();
}

void StreamFeeder::WaitIdle(std::unique_lock<std::mutex>& held) {
    changed.wait(held, [&] { return queue.empty() && !busy; });
}

void StreamFeeder::Restart() {
    std::unique_lock<std::mutex> held(lock);
    WaitIdle(held);
    // The thread waits for the next block, so the stream is the caller's for now.
    stream->Restart();
}

void StreamFeeder::Finish() {
    finished = true;
    if (!thread.joinable())
        return;
    {
        std::unique_lock<std::mutex> held(lock);
        WaitIdle(held);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void StreamFeeder::Feed() {
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        changed.wait(held, [&] { return !queue.empty() || stopping; });
        if (queue.empty())
            return;
        std::vector<uint8_t> block = std::move(queue.front());
        queue.pop_front();
        busy = true;
        held.unlock();
        stream->Add(block.data(), block.size());
        held.lock();
        busy = false;
        queuedBytes -= block.size();
        if (spare.size() < kSpareBlocks)
            spare.push_back(std::move(block));
        changed.notify_all();
    }
}
