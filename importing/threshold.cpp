#include "importing/threshold.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "importing/local_threshold.h"

namespace quillet::importing {

namespace {

// Reverses the order of the 64 bits of a word.
inline std::uint64_t reverseBits(std::uint64_t v) {
    v = ((v >> 1) & 0x5555555555555555u) | ((v & 0x5555555555555555u) << 1);
    v = ((v >> 2) & 0x3333333333333333u) | ((v & 0x3333333333333333u) << 2);
    v = ((v >> 4) & 0x0f0f0f0f0f0f0f0fu) | ((v & 0x0f0f0f0f0f0f0f0fu) << 4);
    return __builtin_bswap64(v);
}

// The packed word of n <= 64 grey pixels: pixel i black (bit 63 - i set)
// when its value is at most level.
inline std::uint64_t packSlow(const std::uint8_t* p, int n, int level) {
    std::uint64_t w = 0;
    for (int i = 0; i < n; ++i) w |= std::uint64_t(p[i] <= level) << (63 - i);
    return w;
}

// The same for 64 pixels, sixteen at a time.
inline std::uint64_t pack64(const std::uint8_t* p, int level) {
#if defined(__SSE2__)
    // Unsigned x <= level as a signed comparison of x ^ 0x80.
    const __m128i bias = _mm_set1_epi8(char(0x80));
    const __m128i limit = _mm_set1_epi8(char(level ^ 0x80));
    std::uint64_t lsbFirst = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i x = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k)), bias);
        const unsigned above = unsigned(_mm_movemask_epi8(_mm_cmpgt_epi8(x, limit)));
        lsbFirst |= std::uint64_t(~above & 0xffffu) << (16 * k);
    }
    return reverseBits(lsbFirst);
#else
    return packSlow(p, 64, level);
#endif
}

}  // namespace

Histogram histogramOf(const GreyImage& image) {
    // Four partial counts break the dependency between equal neighbours;
    // runs of eight white pixels (most of a page) are counted at once.
    std::array<Histogram, 4> part{};
    std::uint64_t white = 0;
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* p = image.pixels + y * image.stride;
        int x = 0;
        for (; x + 8 <= image.width; x += 8) {
            std::uint64_t eight;
            std::memcpy(&eight, p + x, 8);
            if (eight == ~std::uint64_t(0)) {
                white += 8;
                continue;
            }
            for (int i = 0; i < 8; i += 4) {
                ++part[0][p[x + i]];
                ++part[1][p[x + i + 1]];
                ++part[2][p[x + i + 2]];
                ++part[3][p[x + i + 3]];
            }
        }
        for (; x < image.width; ++x) ++part[0][p[x]];
    }
    Histogram h{};
    for (int v = 0; v < 256; ++v) h[v] = part[0][v] + part[1][v] + part[2][v] + part[3][v];
    h[255] += white;
    return h;
}

int otsuLevel(const Histogram& h) {
    long double total = 0, sum = 0;
    for (int v = 0; v < 256; ++v) {
        total += h[v];
        sum += static_cast<long double>(v) * h[v];
    }
    // Between-class variance up to a constant factor:
    // (sum * w0 - s0 * total)^2 / (w0 * (total - w0)).
    long double w0 = 0, s0 = 0, best = -1;
    int level = 0;
    for (int t = 0; t < 255; ++t) {
        w0 += h[t];
        s0 += static_cast<long double>(t) * h[t];
        const long double w1 = total - w0;
        if (w0 == 0 || w1 == 0) continue;
        const long double d = sum * w0 - s0 * total;
        const long double between = d * d / (w0 * w1);
        if (between > best) {
            best = between;
            level = t;
        }
    }
    return level;
}

void binarizeRows(const GreyImage& image, int level, imaging::Bitmap& out, int y0) {
    const int full = image.width / 64, tail = image.width % 64;
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* p = image.pixels + y * image.stride;
        std::uint64_t* row = out.row(y0 + y);
        for (int i = 0; i < full; ++i) row[i] = pack64(p + 64 * i, level);
        if (tail) row[full] = packSlow(p + 64 * full, tail, level);
    }
}

imaging::Bitmap binarize(const GreyImage& image, int level) {
    imaging::Bitmap out(image.width, image.height);
    binarizeRows(image, level, out, 0);
    return out;
}

int levelFor(const GreyImage& image, Threshold threshold) {
    return threshold.automatic ? otsuLevel(histogramOf(image)) : std::clamp(threshold.level, 0, 255);
}

imaging::Bitmap toOneBit(const GreyImage& image, Threshold threshold, double dpi) {
    if (threshold.local)
        return localThreshold(image.width, image.height, dpi, image.height, [&image](int y, int rows) {
            return GreyImage{image.pixels + y * image.stride, image.width, rows, image.stride};
        });
    return binarize(image, levelFor(image, threshold));
}

}  // namespace quillet::importing
