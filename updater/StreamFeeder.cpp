#include "updater/StreamFeeder.h"

#include "updater/PackageStream.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace {
// Blocks kept for reuse, enough for a full queue, so that a transfer does not allocate as it
// goes; a block grown past the usual size for one large piece is not kept.
constexpr size_t kSpareBlocks = kFeederQueueBytes / kFeederBlockBytes + 8;
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
    fed.notify_one();
    if (thread.joinable())
        thread.join();
    stream->Restart();
}

void StreamFeeder::Add(const void* data, size_t size) {
    if (!thread.joinable()) {
        stream->Add(data, size);
        return;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    std::unique_lock<std::mutex> held(lock);
    // A piece larger than the queue still goes in, once half of it is taken.
    if (queuedBytes > 0 && queuedBytes + size > kFeederQueueBytes) {
        waiting = true;
        taken.wait(held, [&] { return queuedBytes == 0 || queuedBytes <= kFeederQueueBytes / 2; });
        waiting = false;
    }
    if (!Queue(bytes, size)) {
        // Without memory for a copy the bytes are fed here, once the thread has taken the rest
        // and waits: the stream is then the caller's.
        WaitIdle(held);
        stream->Add(data, size);
        return;
    }
    queuedBytes += size;
    if (hungry)
        fed.notify_one();
}

bool StreamFeeder::Queue(const uint8_t* bytes, size_t size) {
    try {
        // The last block is not the thread's until it takes it.
        if (!queue.empty() && queue.back().size() + size <= kFeederBlockBytes) {
            queue.back().insert(queue.back().end(), bytes, bytes + size);
            return true;
        }
        std::vector<uint8_t> block;
        if (!spare.empty()) {
            block.swap(spare.back());
            spare.pop_back();
        } else {
            block.reserve(std::max(size, kFeederBlockBytes));
        }
        block.assign(bytes, bytes + size);
        queue.push_back(std::move(block));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void StreamFeeder::WaitIdle(std::unique_lock<std::mutex>& held) {
    waiting = true;
    taken.wait(held, [&] { return queue.empty() && !busy; });
    waiting = false;
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
    fed.notify_one();
    thread.join();
}

void StreamFeeder::Feed() {
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        hungry = true;
        fed.wait(held, [&] { return !queue.empty() || stopping; });
        hungry = false;
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
        if (spare.size() < kSpareBlocks && block.capacity() <= kFeederBlockBytes)
            spare.push_back(std::move(block));
        if (waiting && (queue.empty() || queuedBytes <= kFeederQueueBytes / 2))
            taken.notify_one();
    }
}
