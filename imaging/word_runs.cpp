#include "imaging/word_runs.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quillet::imaging {

namespace {

#if defined(__x86_64__)
// The scalar loops below finish what these leave.

// True when a word of the first n / 8 * 8 is set.
__attribute__((target("avx2"))) bool anyWide(const std::uint64_t* w, std::size_t n) {
    const auto* v = reinterpret_cast<const __m256i*>(w);
    for (std::size_t i = 0; i < n / 8; ++i) {
        const __m256i a = _mm256_or_si256(_mm256_loadu_si256(v + 2 * i), _mm256_loadu_si256(v + 2 * i + 1));
        if (!_mm256_testz_si256(a, a)) return true;
    }
    return false;
}

// Eight rows at a time, so that dst is loaded and stored once for eight.
__attribute__((target("avx2"))) std::size_t orRowsWide(std::uint64_t* dst, const std::uint64_t* src,
                                                       std::size_t stride, std::size_t rows, std::size_t n) {
    const std::size_t blocks = n / 4;
    std::size_t r = 0;
    for (; r + 8 <= rows; r += 8) {
        const std::uint64_t* band = src + r * stride;
        for (std::size_t b = 0; b < blocks; ++b) {
            auto* d = reinterpret_cast<__m256i*>(dst + 4 * b);
            __m256i v = _mm256_loadu_si256(d);
            for (std::size_t k = 0; k < 8; ++k)
                v = _mm256_or_si256(v, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(band + k * stride + 4 * b)));
            _mm256_storeu_si256(d, v);
        }
    }
    return r;
}

// Words 1 .. 4k of dst, from src[0 .. 4k].
__attribute__((target("avx2"))) std::size_t shiftWide(std::uint64_t* dst, const std::uint64_t* src, std::size_t n,
                                                      int s) {
    if (n == 0) return 1;
    const std::size_t steps = (n - 1) / 4;
    const __m128i right = _mm_cvtsi32_si128(s);
    const __m128i left = _mm_cvtsi32_si128(64 - s);
    for (std::size_t i = 0; i < steps; ++i) {
        const std::uint64_t* at = src + 1 + 4 * i;
        const __m256i cur = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        const __m256i prev = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at - 1));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 1 + 4 * i),
                            _mm256_or_si256(_mm256_sll_epi64(prev, left), _mm256_srl_epi64(cur, right)));
    }
    return 1 + steps * 4;
}
#endif

}  // namespace

bool hasWideRegisters() {
#if defined(__x86_64__)
    static const bool avx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2");
    }();
    return avx2;
#else
    return false;
#endif
}

bool allZero(const std::uint64_t* w, std::size_t n) {
    std::size_t i = 0;
#if defined(__x86_64__)
    if (hasWideRegisters()) {
        if (anyWide(w, n)) return false;
        i = n / 8 * 8;
    }
#endif
    std::uint64_t any = 0;
    for (; i < n; ++i) any |= w[i];
    return any == 0;
}

void orRowsInto(std::uint64_t* dst, const std::uint64_t* src, std::size_t stride, std::size_t rows, std::size_t n) {
    std::size_t r = 0;
    std::size_t i0 = 0;  // words the wide loop left to the scalar one, in its rows
#if defined(__x86_64__)
    if (hasWideRegisters()) {
        r = orRowsWide(dst, src, stride, rows, n);
        i0 = n / 4 * 4;
    }
#endif
    for (std::size_t k = 0; k < r; ++k)
        for (std::size_t i = i0; i < n; ++i) dst[i] |= src[k * stride + i];
    for (; r < rows; ++r)
        for (std::size_t i = 0; i < n; ++i) dst[i] |= src[r * stride + i];
}

void shiftedCopy(std::uint64_t* dst, const std::uint64_t* src, std::size_t n, int s) {
    std::size_t i = 1;
#if defined(__x86_64__)
    if (hasWideRegisters()) i = shiftWide(dst, src, n, s);
#endif
    for (; i < n; ++i) dst[i] = (src[i - 1] << (64 - s)) | (src[i] >> s);
}

}  // namespace quillet::imaging
