// A package received straight into its file, so that memory stays flat whatever the package's
// size, and handed on to its extraction as it arrives.
#pragma once

#include "updater/PackageHash.h"

#include <atomic>
#include <cstddef>
#include <cstdio>

class StreamFeeder;
class Updater;
typedef void CURL;

struct PackageFile {
    // Why the file ended the transfer, if it did.
    enum Refusal { None, NoSpace, NotWritten, NotListed };

    const char* path;
    FILE* file;
    CURL* handle;     // asked for the announced length before the first byte is written
    Updater* updater; // answers whether the drive of path can take that length
    const std::atomic<bool>* cancel;
    const ListedPackage* listed; // what the update list says the package is
    PackageHasher hasher;        // every byte received, as it arrives
    StreamFeeder* feeder;        // takes every byte once it is in the file; null for none
    bool lengthChecked;
    Refusal refusal;
};

// Opens the file at path for the transfer on handle: emptied, or when keep is set with its
// bytes kept (hashed and handed to feeder) and the transfer's bytes added behind them. False
// when it cannot be opened or read.
bool PackageFileOpen(PackageFile* target, const char* path, bool keep, CURL* handle,
                     Updater* updater, const std::atomic<bool>* cancel, const ListedPackage* listed,
                     StreamFeeder* feeder);
// Empties the file, the hasher and the feeder's stream for a transfer that starts the package
// again; false when the file cannot be reopened (the refusal is then NotWritten).
bool PackageFileRestart(PackageFile* target);
// Closes the file. None when every byte received reached the disk; NoSpace when the disk
// filled up (or cannot take the announced length), NotWritten for any other failure,
// NotListed when more bytes arrived than the list gives the package.
PackageFile::Refusal PackageFileClose(PackageFile* target);

// libcurl write function (CURLOPT_WRITEFUNCTION with the PackageFile as CURLOPT_WRITEDATA):
// writes itemSize * itemCount bytes and returns that count. Returns 0, which makes libcurl
// fail the transfer, once the run's cancel flag is set, when the drive cannot take the length
// the server announced or the package grows past its listed size, and when a write fails.
size_t AppendToFile(void* piece, size_t itemSize, size_t itemCount, void* target);
