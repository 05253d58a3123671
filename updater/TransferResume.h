// A package transfer that outlives broken connections: it goes on from the last byte received
// instead of from the first, so that a player on a poor connection is not sent a large package
// over and over.
#pragma once

#include <atomic>
#include <cstdint>

struct PackageFile;
struct PartialPackage;
typedef void CURL;

// Retries in a row after attempts that brought the package no further; when the last of them
// brings nothing either, the transfer is given up.
constexpr int kResumeRetries = 3;

// Receives partial's url on handle into target, which holds the bytes kept so far (none, or
// those of an earlier run that partial's validator names). When it holds bytes, and after an
// attempt that broke or stalled and a pause, it asks for the rest ("Range", with "If-Range" on
// the validator: the strong "ETag" or else the "Last-Modified" of the answer the bytes come
// from). An answer that brings the whole file instead (a server without ranges, or a file
// changed since) starts the package again from its first byte, as does a retry when there is
// no validator and one after an answer that did not continue the bytes kept. Each whole answer's
// validator is recorded in partial's identity before its first byte is kept. The pause is
// firstPauseMilliseconds after an attempt that brought new bytes and doubles with every attempt in
// a row that did not; it gives up after kResumeRetries + 1 of those in a row. It gives up at once,
// pauses included, when cancel reads true, when target refused bytes and on a request that cannot
// succeed (a malformed address). True when the last attempt completed. The progress counters show
// the whole package; afterwards handle's progress function is DownloadProgress with cancel again
// and it asks for no range.
bool ReceiveResuming(CURL* handle, PackageFile* target, PartialPackage* partial,
                     const std::atomic<bool>* cancel, uint32_t firstPauseMilliseconds);
