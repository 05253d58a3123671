#include "updater/PackageStream.h"

#include "updater/DeltaEntry.h"
#include "updater/EntryPath.h"
#include "updater/PartialPackage.h"
#include "updater/RemovalRecord.h"
#include "updater/ZipCrc.h"
#include "updater/ZipRecords.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Input is taken, and decoded, in pieces of at most this size.
constexpr size_t kBlock = 1 << 20;
// The zip64 end record's length field counts what follows its signature and itself.
constexpr uint64_t kZip64EndCounted = kZipZip64EndSize - 12;
// Bit 0: encrypted; bit 3: sizes and CRC follow the data instead of being in the header.
constexpr uint16_t kUnstreamableFlags = 0x0009;

size_t FixedSize(uint32_t signature) {
    switch (signature) {
    case kZipLocalHeader:
        return kZipLocalHeaderSize;
    case kZipCentralHeader:
        return kZipCentralHeaderSize;
    case kZipZip64End:
        return kZipZip64EndSize;
    case kZipZip64Locator:
        return kZipZip64LocatorSize;
    case kZipEnd:
        return kZipEndSize;
    default:
        return 0;
    }
}

// The bytes of name, extra field and comment that follow a record's fixed part.
size_t VariableSize(uint32_t signature, const uint8_t* record) {
    switch (signature) {
    case kZipLocalHeader:
        return size_t(ZipRead16(record + 26)) + ZipRead16(record + 28);
    case kZipCentralHeader:
        return size_t(ZipRead16(record + 28)) + ZipRead16(record + 30) + ZipRead16(record + 32);
    default:
        return 0;
    }
}

} // namespace

bool PackageStream::Entry::operator==(const Entry& other) const {
    return offset == other.offset && compressed == other.compressed && size == other.size &&
           crc == other.crc && method == other.method && name == other.name;
}

PackageStream::PackageStream(const char* staging, std::atomic<float>* extracted,
                             std::function<bool(uint64_t)> roomFor)
    : staging(staging), extracted(extracted), roomFor(std::move(roomFor)) {}

PackageStream::~PackageStream() {
    if (inflaterReady)
        inflateEnd(&inflater);
}

void PackageStream::Add(const void* data, size_t size) {
    const uint8_t* at = static_cast<const uint8_t*>(data);
    while (size > 0) {
        if (result != Streaming) {
            // Bytes after the end record: the archive is not what was extracted.
            if (result == Extracted)
                GiveUp(Unstreamable);
            return;
        }
        // Counted before it is taken, so that a record begun now starts after it.
        size_t taken = 0;
        if (phase == EntryData) {
            taken = size_t(std::min<uint64_t>({size, compressedLeft, kBlock}));
            position += taken;
            compressedLeft -= taken;
            Decode(at, taken);
            if (compressedLeft == 0 && result == Streaming)
                EndEntry();
        } else if (phase == Skip) {
            taken = size_t(std::min<uint64_t>(size, skipLeft));
            position += taken;
            skipLeft -= taken;
            if (skipLeft == 0 && skipEnds)
                Verify();
            else if (skipLeft == 0)
                NextRecord();
        } else {
            taken = std::min(size, recordSize - record.size());
            position += taken;
            record.insert(record.end(), at, at + taken);
            if (record.size() == recordSize)
                TakeRecord();
        }
        at += taken;
        size -= taken;
    }
    writer.Offer();
}

void PackageStream::NextRecord() {
    phase = Signature;
    record.clear();
    recordSize = 4;
    recordAt = position;
    variableKnown = false;
}

void PackageStream::TakeRecord() {
    if (phase == Signature) {
        signature = ZipRead32(record.data());
        recordSize = FixedSize(signature);
        if (recordSize == 0)
            return GiveUp(Unstreamable);
        phase = Record;
        return;
    }
    if (!variableKnown) {
        variableKnown = true;
        recordSize += VariableSize(signature, record.data());
        if (record.size() < recordSize)
            return;
    }
    // Entries first, then the directory, then the end records: anything else is not a layout
    // that can be followed from the front.
    const bool inEntries = !centralStarted;
    if (signature != kZipLocalHeader && !centralStarted) {
        centralStarted = true;
        centralAt = recordAt;
    }
    if (signature != kZipLocalHeader && signature != kZipCentralHeader && !endsStarted) {
        endsStarted = true;
        centralEnd = recordAt;
    }
    if ((signature == kZipLocalHeader && !inEntries) ||
        (signature == kZipCentralHeader && endsStarted))
        return GiveUp(Unstreamable);
    switch (signature) {
    case kZipLocalHeader:
        return BeginEntry();
    case kZipCentralHeader:
        TakeCentralHeader();
        break;
    case kZipZip64End:
        return TakeZip64End();
    case kZipEnd:
        return TakeEnd();
    default: // the zip64 locator: its only news is where the record just read lies
        break;
    }
    if (result == Streaming)
        NextRecord();
}

void PackageStream::BeginEntry() {
    const uint8_t* header = record.data();
    const uint16_t flags = ZipRead16(header + 6), method = ZipRead16(header + 8);
    const size_t nameLength = ZipRead16(header + 26);
    Entry entry{
        std::string(reinterpret_cast<const char*>(header + kZipLocalHeaderSize), nameLength),
        recordAt,
        ZipRead32(header + 18),
        ZipRead32(header + 22),
        ZipRead32(header + 14),
        method};
    if ((flags & kUnstreamableFlags) || (method != 0 && method != Z_DEFLATED) ||
        nameLength >= kEntryNameSize || entry.name.find('\0') != std::string::npos ||
        !ZipReadZip64Values(header + kZipLocalHeaderSize + nameLength, ZipRead16(header + 28),
                            &entry.size, &entry.compressed, nullptr) ||
        (method == 0 && entry.compressed != entry.size) || entries.size() >= kJournalMaxSteps ||
        DeltaTargetName(entry.name.c_str()) || !IsSafeEntryName(entry.name.c_str()))
        return GiveUp(Unstreamable);
    const uint32_t index = uint32_t(entries.size());
    const char* name = entry.name.c_str();
    sink = Discard;
    char relative[kEntryNameSize];
    bool directory = false;
    if (strcmp(name, kRemovalRecordName) == 0) {
        if (entry.size > kRemovalRecordMaxBytes)
            return GiveUp(Unstreamable);
        sink = RemovalRecord;
        removals.clear();
    } else if (EntryRelativeName(name, relative, sizeof relative, &directory)) {
        // A name of separators only has nothing to make.
        char target[PartialPackage::kPathSize];
        if (!directory) {
            // A size the disk cannot take is left to the file's extraction to refuse, and so
            // is a package whose staged files could not be written.
            if (!roomFor(entry.size) || writer.Failed() ||
                !StagedFilePath(staging, index, target, sizeof target))
                return GiveUp(Unstreamable);
            writer.Open(target);
            sink = File;
        }
        steps.Add(directory ? JournalStep::MakeDirectory : JournalStep::Move, index, relative);
    }
    stagedBytes += entry.size;
    compressedLeft = entry.compressed;
    decoded = 0;
    crc = 0;
    inflating = method == Z_DEFLATED;
    inflateEnded = false;
    entries.push_back(std::move(entry));
    if (inflating && !StartInflater())
        return GiveUp(Unstreamable);
    phase = EntryData;
    if (compressedLeft == 0)
        EndEntry();
}

bool PackageStream::StartInflater() {
    if (!block)
        block.reset(new (std::nothrow) uint8_t[kBlock]);
    if (!block)
        return false;
    if (inflaterReady)
        return inflateReset(&inflater) == Z_OK;
    inflaterReady = inflateInit2(&inflater, -MAX_WBITS) == Z_OK;
    return inflaterReady;
}

void PackageStream::Decode(const uint8_t* data, size_t size) {
    if (!inflating) {
        Emit(data, size);
        return;
    }
    // Data past the end of the deflated stream are not the entry's.
    if (inflateEnded)
        return GiveUp(Unstreamable);
    inflater.next_in = const_cast<Bytef*>(data);
    inflater.avail_in = uInt(size);
    for (;;) {
        inflater.next_out = block.get();
        inflater.avail_out = uInt(kBlock);
        const int status = inflate(&inflater, Z_NO_FLUSH);
        const size_t produced = kBlock - inflater.avail_out;
        if (produced > 0 && !Emit(block.get(), produced))
            return;
        if (status == Z_STREAM_END) {
            inflateEnded = true;
            if (inflater.avail_in > 0)
                GiveUp(Unstreamable);
            return;
        }
        if (status != Z_OK && status != Z_BUF_ERROR)
            return GiveUp(Unstreamable);
        if (inflater.avail_in == 0 && inflater.avail_out > 0)
            return;
    }
}

bool PackageStream::Emit(const uint8_t* data, size_t size) {
    decoded += size;
    if (decoded > entries.back().size) {
        GiveUp(Unstreamable);
        return false;
    }
    crc = ZipCrc(crc, data, size);
    AddExtracted(extracted, size);
    if (sink == RemovalRecord)
        removals.append(reinterpret_cast<const char*>(data), size);
    else if (sink == File)
        writer.Write(data, size);
    // A disk that filled up ends the stream at once rather than after the entry.
    if (writer.Failed()) {
        GiveUp(Unstreamable);
        return false;
    }
    return true;
}

void PackageStream::EndEntry() {
    const Entry& entry = entries.back();
    bool sound = (!inflating || inflateEnded) && decoded == entry.size && crc == entry.crc;
    if (sink == File)
        writer.Close();
    if (sound && sink == RemovalRecord)
        sound = RemovalRecordNames(removals, &steps.removed);
    if (!sound)
        return GiveUp(Unstreamable);
    NextRecord();
}

void PackageStream::TakeCentralHeader() {
    const uint8_t* header = record.data();
    const size_t nameLength = ZipRead16(header + 28);
    Entry entry{
        std::string(reinterpret_cast<const char*>(header + kZipCentralHeaderSize), nameLength),
        ZipRead32(header + 42),
        ZipRead32(header + 20),
        ZipRead32(header + 24),
        ZipRead32(header + 16),
        ZipRead16(header + 10)};
    // What the directory says of an entry must be what its local header said.
    if ((ZipRead16(header + 8) & kUnstreamableFlags) || central.size() >= entries.size() ||
        !ZipReadZip64Values(header + kZipCentralHeaderSize + nameLength, ZipRead16(header + 30),
                            &entry.size, &entry.compressed, &entry.offset))
        return GiveUp(Contradicted);
    central.push_back(std::move(entry));
}

void PackageStream::TakeZip64End() {
    const uint8_t* end = record.data();
    const uint64_t recordLength = ZipRead64(end + 4);
    // Archives spread over several disks are not followed.
    if (recordLength < kZip64EndCounted || ZipRead32(end + 16) != 0 || ZipRead32(end + 20) != 0 ||
        ZipRead64(end + 24) != ZipRead64(end + 32))
        return GiveUp(Unstreamable);
    zip64End = true;
    zip64Entries = ZipRead64(end + 32);
    zip64Size = ZipRead64(end + 40);
    zip64Offset = ZipRead64(end + 48);
    phase = Skip;
    skipEnds = false;
    skipLeft = recordLength - kZip64EndCounted;
    if (skipLeft == 0)
        NextRecord();
}

void PackageStream::TakeEnd() {
    const uint8_t* end = record.data();
    const uint16_t count = ZipRead16(end + 10);
    if (ZipRead16(end + 4) != 0 || ZipRead16(end + 6) != 0 || ZipRead16(end + 8) != count)
        return GiveUp(Unstreamable);
    listedEntries = count;
    listedSize = ZipRead32(end + 12);
    listedOffset = ZipRead32(end + 16);
    if (zip64End && count == 0xFFFF)
        listedEntries = zip64Entries;
    if (zip64End && listedSize == kZip64Marker)
        listedSize = zip64Size;
    if (zip64End && listedOffset == kZip64Marker)
        listedOffset = zip64Offset;
    phase = Skip;
    skipEnds = true;
    skipLeft = ZipRead16(end + 20);
    if (skipLeft == 0)
        Verify();
}

void PackageStream::Verify() {
    phase = Ended;
    if (listedEntries != central.size() || listedOffset != centralAt ||
        listedSize != centralEnd - centralAt || central.size() != entries.size())
        return GiveUp(Contradicted);
    // Every staged file must also be on disk as decoded.
    if (central == entries && !writer.Drain())
        return GiveUp(Unstreamable);
    if (central == entries) {
        result = Extracted;
        return;
    }
    // The same entries in another order: which of two entries of one name wins depends on the
    // order, and the directory's is the archive's.
    std::sort(central.begin(), central.end(),
              [](const Entry& a, const Entry& b) { return a.offset < b.offset; });
    GiveUp(central == entries ? Unstreamable : Contradicted);
}

void PackageStream::Close() {
    writer.Discard();
    std::vector<Entry>().swap(entries);
    std::vector<Entry>().swap(central);
    steps = PackageSteps{};
    std::string().swap(removals);
}

void PackageStream::GiveUp(Outcome why) {
    Close();
    result = why;
    phase = Ended;
}

void PackageStream::Restart() {
    Close();
    result = Streaming;
    position = 0;
    NextRecord();
    centralStarted = endsStarted = zip64End = false;
    centralAt = centralEnd = stagedBytes = 0;
    StagingClear(staging, true);
}
