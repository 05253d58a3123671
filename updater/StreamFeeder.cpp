#include "updater/StreamFeeder.h"

#include "updater/PackageStream.h"

#include <algorithm>
#include <new>

namespace {
// Blocks kept for reuse, enough for a full queue, so that a transfer does not allocate as it
// goes; a block grown past the usual size for one large piece is not kept.
constexpr size_t kSpareBlocks = kFeederQueueBytes / kFeederBlockBytes + 8;
} // namespace

StreamFeeder::StreamFeeder(PackageStream* stream)
    : stream(stream), feeding(kFeederQueueBytes, kSpareBlocks, [stream](Block& block) {
          stream->Add(block.data(), block.size());
          block.clear();
          return block.capacity() <= kFeederBlockBytes;
      }) {}

StreamFeeder::~StreamFeeder() {
    if (!finished)
        Abandon();
}

void StreamFeeder::Abandon() {
    finished = true;
    feeding.Drop();
    feeding.Stop();
    stream->Restart();
}

void StreamFeeder::Add(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (!feeding.Threaded() || !Queue(bytes, size)) {
        // Without memory for a copy the bytes are fed here, once the thread has taken the rest
        // and waits: the stream is then the caller's.
        feeding.WaitIdle();
        stream->Add(data, size);
    }
}

bool StreamFeeder::Queue(const uint8_t* bytes, size_t size) {
    try {
        // Pieces are gathered into the last block while the thread has not taken it.
        if (feeding.AddToLast(size, [&](Block& last) {
                if (last.size() + size > kFeederBlockBytes)
                    return false;
                last.insert(last.end(), bytes, bytes + size);
                return true;
            }))
            return true;
        Block block;
        if (!feeding.Reuse(&block))
            block.reserve(std::max(size, kFeederBlockBytes));
        block.assign(bytes, bytes + size);
        feeding.Push(std::move(block), size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void StreamFeeder::Restart() {
    feeding.WaitIdle();
    // The thread waits for the next block, so the stream is the caller's for now.
    stream->Restart();
}

void StreamFeeder::Finish() {
    finished = true;
    feeding.Stop();
}
