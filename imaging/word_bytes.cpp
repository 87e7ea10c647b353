#include "imaging/word_bytes.h"

#include <cstring>

#include "imaging/word_runs.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quillet::imaging {

namespace {

void toWords(const std::uint8_t* src, std::size_t words, std::uint64_t flip, std::uint64_t* dst) {
    for (std::size_t i = 0; i < words; ++i) {
        std::uint64_t v;
        std::memcpy(&v, src + 8 * i, 8);
        dst[i] = __builtin_bswap64(v) ^ flip;
    }
}

void toBytes(const std::uint64_t* src, std::size_t words, std::uint64_t flip, std::uint8_t* dst) {
    for (std::size_t i = 0; i < words; ++i) {
        const std::uint64_t v = __builtin_bswap64(src[i] ^ flip);
        std::memcpy(dst + 8 * i, &v, 8);
    }
}

#if defined(__x86_64__)
// Byte order reversed within each 64-bit lane: the same shuffle both ways.
// Four words a step; returns how many words it converted.
__attribute__((target("avx2"))) std::size_t swapWide(const void* src, std::size_t words, std::uint64_t flip,
                                                      void* dst) {
    const __m256i order = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8,  //
                                           7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
    const __m256i mask = _mm256_set1_epi64x(static_cast<long long>(flip));  // the same in either byte order
    const auto* s = static_cast<const __m256i*>(src);
    auto* d = static_cast<__m256i*>(dst);
    const std::size_t steps = words / 4;
    for (std::size_t i = 0; i < steps; ++i)
        _mm256_storeu_si256(d + i, _mm256_xor_si256(_mm256_shuffle_epi8(_mm256_loadu_si256(s + i), order), mask));
    return steps * 4;
}
#endif

// The flip mask must read the same in both byte orders for the wide path
// (all ones or zero, as the callers use it).
bool byteSymmetric(std::uint64_t flip) { return flip == 0 || flip == ~std::uint64_t(0); }

}  // namespace

void wordsFromBigEndian(const std::uint8_t* src, std::size_t words, std::uint64_t flip, std::uint64_t* dst) {
    std::size_t done = 0;
#if defined(__x86_64__)
    if (hasWideRegisters() && byteSymmetric(flip)) done = swapWide(src, words, flip, dst);
#endif
    toWords(src + 8 * done, words - done, flip, dst + done);
}

void bigEndianFromWords(const std::uint64_t* src, std::size_t words, std::uint64_t flip, std::uint8_t* dst) {
    std::size_t done = 0;
#if defined(__x86_64__)
    if (hasWideRegisters() && byteSymmetric(flip)) done = swapWide(src, words, flip, dst);
#endif
    toBytes(src + done, words - done, flip, dst + 8 * done);
}

}  // namespace quillet::imaging
