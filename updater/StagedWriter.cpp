#include "updater/StagedWriter.h"

#include "core/platform/FileReplace.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// A file's data are handed to the device in steps of this size, and once more at its end when
// it has at least kWritebackFrom bytes: the sync before the journal then has little left to
// wait for, and the system never holds gigabytes unwritten. Small files are left to that one
// sync, which writes them out together.
constexpr uint64_t kWritebackStep = 32 << 20;
constexpr uint64_t kWritebackFrom = 1 << 20;
// A path gathered after the last bytes of a batch that is not yet full fits in this.
constexpr size_t kPathRoom = 4096;
constexpr size_t kSpareBatches = kWriterQueueBytes / kWriterBatchBytes + 2;
} // namespace

StagedWriter::StagedWriter()
    : writing(kWriterQueueBytes, kSpareBatches, [this](Batch& batch) {
          Run(batch);
          return true;
      }) {}

StagedWriter::~StagedWriter() {
    Discard();
}

void StagedWriter::Open(const char* path) {
    Gather(Op::Open, reinterpret_cast<const uint8_t*>(path), strlen(path) + 1);
}

void StagedWriter::Write(const uint8_t* data, size_t size) {
    // Batches are cut at kWriterBatchBytes, so that none needs more memory.
    while (size > 0) {
        if (gathering.bytes.size() >= kWriterBatchBytes)
            Push();
        const size_t piece = std::min(size, kWriterBatchBytes - gathering.bytes.size());
        Gather(Op::Write, data, piece);
        data += piece;
        size -= piece;
    }
    if (gathering.bytes.size() >= kWriterBatchBytes)
        Push();
}

void StagedWriter::Close() {
    Gather(Op::Close, nullptr, 0);
}

void StagedWriter::Gather(Op::Kind kind, const uint8_t* data, size_t size) {
    try {
        // Room for a whole batch and a path: gathering never moves the bytes.
        if (gathering.bytes.capacity() == 0)
            gathering.bytes.reserve(kWriterBatchBytes + kPathRoom);
        gathering.bytes.insert(gathering.bytes.end(), data, data + size);
        // The pieces of one file in a batch go out in one write.
        if (kind == Op::Write && !gathering.ops.empty() && gathering.ops.back().kind == Op::Write)
            gathering.ops.back().size += size;
        else
            gathering.ops.push_back(Op{kind, size});
    } catch (const std::bad_alloc&) {
        // What is gathered no longer matches the files: the package is extracted from its file.
        failed.store(true, std::memory_order_release);
    }
}

void StagedWriter::Offer() {
    if (!gathering.ops.empty() && writing.Hungry())
        Push();
}

void StagedWriter::Push() {
    if (gathering.ops.empty())
        return;
    const size_t size = gathering.bytes.size();
    writing.Push(std::move(gathering), size);
    if (!writing.Reuse(&gathering))
        gathering = Batch{};
}

bool StagedWriter::Drain() {
    Push();
    writing.WaitIdle();
    return !Failed();
}

void StagedWriter::Discard() {
    gathering.bytes.clear();
    gathering.ops.clear();
    writing.Drop();
    if (file)
        fclose(file);
    file = nullptr;
    failed.store(false, std::memory_order_release);
}

void StagedWriter::Fail() {
    if (file)
        fclose(file);
    file = nullptr;
    failed.store(true, std::memory_order_release);
}

void StagedWriter::Run(Batch& batch) {
    const uint8_t* data = batch.bytes.data();
    for (const Op& op : batch.ops) {
        const uint8_t* at = data;
        data += op.size;
        if (Failed())
            continue;
        switch (op.kind) {
        case Op::Open:
            file = fopen(reinterpret_cast<const char*>(at), "wb");
            fileBytes = 0;
            if (!file)
                Fail();
            // Batches are written whole: a buffer would only copy them once more.
            else if (setvbuf(file, nullptr, _IONBF, 0) != 0)
                Fail();
            break;
        case Op::Write: {
            const bool step = (fileBytes + op.size) / kWritebackStep != fileBytes / kWritebackStep;
            fileBytes += op.size;
            if (!file || fwrite(at, 1, op.size, file) != op.size ||
                (step && !PlatformStartWriteback(file)))
                Fail();
            break;
        }
        case Op::Close: {
            const bool started =
                !file || fileBytes < kWritebackFrom || PlatformStartWriteback(file);
            const bool closed = file && fclose(file) == 0;
            file = nullptr;
            if (!started || !closed)
                Fail();
            break;
        }
        }
    }
    batch.bytes.clear();
    batch.ops.clear();
}
