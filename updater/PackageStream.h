// A package extracted while it is received. When its entries come one after the other from its
// first byte, each with its sizes in its local header (what the release tool writes), every
// entry is decoded into the staging folder as its bytes arrive and checked against its size and
// CRC; the central directory that follows must then list the very same entries. Anything else
// (data descriptors, encryption, unknown methods, delta entries, entries in another order than
// the directory's, damaged data, a failed write) makes the package unstreamable: it is then
// extracted from its file as before, which decides what it is worth.
//
// Nothing here touches the installation: the staged files only become part of it through the
// journal, once the whole package is received and checked.
#pragma once

#include "updater/PackageSteps.h"
#include "updater/StagedWriter.h"

#include <zlib.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class PackageStream {
public:
    enum Outcome {
        Streaming,    // the archive has not ended yet
        Extracted,    // every entry is staged, and the central directory lists them as streamed
        Unstreamable, // to be extracted from the package's file
        Contradicted, // the central directory says something else than the entries streamed
    };

    // Stages into the folder at staging; every byte decoded is added to *extracted. roomFor
    // tells whether the disk can take an entry of that many bytes; one it cannot take makes the
    // package unstreamable before anything of it is written.
    PackageStream(const char* staging, std::atomic<float>* extracted,
                  std::function<bool(uint64_t)> roomFor);
    ~PackageStream();
    PackageStream(const PackageStream&) = delete;
    PackageStream& operator=(const PackageStream&) = delete;

    // The package's next bytes.
    void Add(const void* data, size_t size);
    // Back to the package's first byte: the files staged so far are dropped.
    void Restart();
    Outcome outcome() const { return result; }
    // The steps of the entries staged; whole once the outcome is Extracted.
    PackageSteps steps;
    // The sizes of the entries staged.
    uint64_t stagedBytes = 0;

private:
    enum Phase { Signature, Record, EntryData, Skip, Ended };
    enum Sink { Discard, File, RemovalRecord };
    struct Entry {
        std::string name;
        uint64_t offset, compressed, size;
        uint32_t crc;
        uint16_t method;
        bool operator==(const Entry& other) const;
    };

    // Records are gathered whole, then taken.
    void NextRecord();
    void TakeRecord();
    void BeginEntry();
    bool StartInflater();
    void Decode(const uint8_t* data, size_t size);
    // Hands decoded bytes of the entry to where they go; false when that ended the stream.
    bool Emit(const uint8_t* data, size_t size);
    void EndEntry();
    void TakeCentralHeader();
    void TakeZip64End();
    void TakeEnd();
    // Compares the directory with the entries streamed, once the archive has ended.
    void Verify();
    // Closes the entry being written and forgets what was gathered.
    void Close();
    void GiveUp(Outcome why);

    const char* staging;
    std::atomic<float>* extracted;
    std::function<bool(uint64_t)> roomFor;
    Outcome result = Streaming;
    Phase phase = Signature;
    uint64_t position = 0; // bytes taken so far
    // The record being gathered: its signature, the bytes it has in all as known so far, and
    // where it starts.
    std::vector<uint8_t> record;
    uint32_t signature = 0;
    size_t recordSize = 4;
    bool variableKnown = false;
    uint64_t recordAt = 0;
    uint64_t skipLeft = 0; // Skip: bytes to pass over before the next record
    bool skipEnds = false; // and then the archive has ended
    std::vector<Entry> entries, central;
    bool centralStarted = false, endsStarted = false;
    uint64_t centralAt = 0, centralEnd = 0; // where the directory starts and ends
    bool zip64End = false;
    uint64_t zip64Entries = 0, zip64Size = 0, zip64Offset = 0;
    // What the end records say of the directory.
    uint64_t listedEntries = 0, listedSize = 0, listedOffset = 0;
    // The entry being decoded.
    Sink sink = Discard;
    StagedWriter writer;
    std::string removals;
    uint64_t compressedLeft = 0, decoded = 0;
    uint32_t crc = 0;
    bool inflating = false, inflateEnded = false;
    z_stream inflater{};
    bool inflaterReady = false;
    std::unique_ptr<uint8_t[]> block;
};
