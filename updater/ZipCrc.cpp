#include "updater/ZipCrc.h"

#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#define ZIP_CRC_FOLDING 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace {

#ifdef ZIP_CRC_FOLDING

// The folding constants of the reflected polynomial 0x04C11DB7: x^n mod P, bit-reflected and
// shifted left by one, for n = 544 and 480 (four blocks ahead), 160 and 96 (one block), 64;
// then P itself and floor(x^64 / P) for the Barrett reduction, both reflected.
constexpr long long kFourBlocksLow = 0x154442bd4, kFourBlocksHigh = 0x1c6e41596;
constexpr long long kOneBlockLow = 0x1751997d0, kOneBlockHigh = 0x0ccaa009e;
constexpr long long kSixtyFour = 0x163cd6124;
constexpr long long kPolynomial = 0x1db710641, kQuotient = 0x1f7011641;

bool Detect() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_PCLMUL) && (c & bit_SSE4_1);
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i value, __m128i constants,
                                                             __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(value, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(value, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i Load(const uint8_t* data) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

// The CRC register (not inverted) continued over size bytes, size a multiple of 16 and at
// least 64: four 16-byte lanes are folded forward over the data, then into one, which is
// reduced to 32 bits.
__attribute__((target("pclmul,sse4.1"))) uint32_t FoldBlocks(uint32_t crc, const uint8_t* data,
                                                             size_t size) {
    const __m128i fourBlocks = _mm_set_epi64x(kFourBlocksHigh, kFourBlocksLow);
    const __m128i oneBlock = _mm_set_epi64x(kOneBlockHigh, kOneBlockLow);
    __m128i lane0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(int(crc)));
    __m128i lane1 = Load(data + 16), lane2 = Load(data + 32), lane3 = Load(data + 48);
    for (data += 64, size -= 64; size >= 64; data += 64, size -= 64) {
        lane0 = Fold(lane0, fourBlocks, Load(data));
        lane1 = Fold(lane1, fourBlocks, Load(data + 16));
        lane2 = Fold(lane2, fourBlocks, Load(data + 32));
        lane3 = Fold(lane3, fourBlocks, Load(data + 48));
    }
    __m128i value = Fold(Fold(Fold(lane0, oneBlock, lane1), oneBlock, lane2), oneBlock, lane3);
    for (; size >= 16; data += 16, size -= 16)
        value = Fold(value, oneBlock, Load(data));
    // 128 bits to 64, then to 32 with the 32 zero bits a CRC appends.
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
    value = _mm_xor_si128(_mm_clmulepi64_si128(value, oneBlock, 0x10), _mm_srli_si128(value, 8));
    value = _mm_xor_si128(
        _mm_clmulepi64_si128(_mm_and_si128(value, low32), _mm_set_epi64x(0, kSixtyFour), 0x00),
        _mm_srli_si128(value, 4));
    // Barrett: the remainder without a division.
    const __m128i barrett = _mm_set_epi64x(kQuotient, kPolynomial);
    __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(value, low32), barrett, 0x10);
    quotient = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x00);
    return uint32_t(_mm_extract_epi32(_mm_xor_si128(quotient, value), 1));
}

#else

bool Detect() {
    return false;
}

// Not called: nothing folds without the instructions.
uint32_t FoldBlocks(uint32_t crc, const uint8_t*, size_t) {
    return crc;
}

#endif

} // namespace

bool ZipCrcFolds() {
    static const bool folds = Detect();
    return folds;
}

uint32_t ZipCrc(uint32_t crc, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (size >= 64 && ZipCrcFolds()) {
        const size_t folded = size & ~size_t(15);
        crc = ~FoldBlocks(~crc, bytes, folded);
        bytes += folded;
        size -= folded;
    }
    return uint32_t(crc32_z(crc, bytes, size));
}
