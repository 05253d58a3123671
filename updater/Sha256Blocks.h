// SHA-256 over whole 64-byte blocks with the processor's SHA extensions, about five times as
// fast as portable code: a package of gigabytes is hashed as it arrives without slowing the
// transfer. Where the processor has none, callers hash as before.
#pragma once

#include <cstddef>
#include <cstdint>

// Whether this processor has the SHA extensions (and the SSE levels they are used with).
bool Sha256BlocksAvailable();

// Runs the compression function over blocks 64-byte blocks of data, updating the eight words
// of state (H0..H7). Only to be called when Sha256BlocksAvailable is true.
void Sha256Blocks(uint32_t (&state)[8], const uint8_t* data, size_t blocks);
