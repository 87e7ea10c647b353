#include "imaging/bit_rows.h"

#include <algorithm>
#include <cstring>

#include "imaging/bitmap.h"
#include "imaging/word_runs.h"

namespace quillet::imaging {

namespace {

// Calls f(wordIndex, mask) for each word touched by [x0, x1), in order; stops
// early when f returns true and reports whether it did.
template <class F>
bool forEachWord(int x0, int x1, F f) {
    if (x0 >= x1) return false;
    const int w0 = x0 >> 6;
    const int w1 = (x1 - 1) >> 6;
    if (w0 == w1) return f(w0, spanMask(x0 & 63, ((x1 - 1) & 63) + 1));
    if (f(w0, ~leadingMask(x0 & 63))) return true;
    for (int w = w0 + 1; w < w1; ++w)
        if (f(w, ~std::uint64_t(0))) return true;
    return f(w1, leadingMask(((x1 - 1) & 63) + 1));
}

}  // namespace

bool anyInk(const std::uint64_t* row, int x0, int x1) {
    if (x0 >= x1) return false;
    const int w0 = x0 >> 6;
    const int w1 = (x1 - 1) >> 6;
    if (w0 == w1) return (row[w0] & spanMask(x0 & 63, ((x1 - 1) & 63) + 1)) != 0;
    if (row[w0] & ~leadingMask(x0 & 63)) return true;
    if (!allZero(row + w0 + 1, std::size_t(w1 - w0 - 1))) return true;
    return (row[w1] & leadingMask(((x1 - 1) & 63) + 1)) != 0;
}

int firstInk(const std::uint64_t* row, int x0, int x1) {
    int found = -1;
    forEachWord(x0, x1, [&](int w, std::uint64_t m) {
        const std::uint64_t v = row[w] & m;
        if (v == 0) return false;
        found = (w << 6) + std::countl_zero(v);
        return true;
    });
    return found;
}

int lastInk(const std::uint64_t* row, int x0, int x1) {
    if (x0 >= x1) return -1;
    const int w0 = x0 >> 6;
    for (int w = (x1 - 1) >> 6; w >= w0; --w) {
        std::uint64_t m = ~std::uint64_t(0);
        if (w == w0) m &= ~leadingMask(x0 & 63);
        if (w == (x1 - 1) >> 6) m &= leadingMask(((x1 - 1) & 63) + 1);
        const std::uint64_t v = row[w] & m;
        if (v != 0) return (w << 6) + 63 - std::countr_zero(v);
    }
    return -1;
}

std::int64_t countInk(const std::uint64_t* row, int x0, int x1) {
    std::int64_t n = 0;
    forEachWord(x0, x1, [&](int w, std::uint64_t m) {
        n += std::popcount(row[w] & m);
        return false;
    });
    return n;
}

bool rangesEqual(const std::uint64_t* a, const std::uint64_t* b, int x0, int x1) {
    return !forEachWord(x0, x1, [&](int w, std::uint64_t m) { return ((a[w] ^ b[w]) & m) != 0; });
}

void extractBits(const std::uint64_t* row, int x, int n, std::uint64_t* out) {
    if (n <= 0) return;
    const int nw = wordsFor(n);
    const int s = x & 63;
    const std::uint64_t* src = row + (x >> 6);
    if (s == 0) {
        std::copy(src, src + nw, out);
    } else {
        // Source words touched: [x >> 6, (x + n - 1) >> 6]; never read past it.
        const int lastSrc = ((x + n - 1) >> 6) - (x >> 6);
        for (int i = 0; i < nw; ++i) {
            std::uint64_t v = src[i] << s;
            if (i + 1 <= lastSrc) v |= src[i + 1] >> (64 - s);
            out[i] = v;
        }
    }
    out[nw - 1] &= leadingMask(n - ((nw - 1) << 6));
}

void depositBits(std::uint64_t* row, int x, const std::uint64_t* bits, int n, bool orInk) {
    if (n <= 0) return;
    const int nw = wordsFor(n);
    const int s = x & 63;
    std::uint64_t* dst = row + (x >> 6);
    if (orInk) {
        // Bits past n are clear, so the words can be ORed in whole.
        if (s == 0) {
            for (int i = 0; i < nw; ++i) dst[i] |= bits[i];
        } else {
            // What a word spills into the next is carried in a register.
            const int lastDst = ((x + n - 1) >> 6) - (x >> 6);
            std::uint64_t carry = 0;
            for (int i = 0; i < nw; ++i) {
                dst[i] |= (bits[i] >> s) | carry;
                carry = bits[i] << (64 - s);
            }
            if (nw <= lastDst) dst[nw] |= carry;
        }
        return;
    }
    const int fullWords = n >> 6;
    const int tail = n & 63;
    if (s == 0) {
        std::copy(bits, bits + fullWords, dst);
        if (tail) {
            const std::uint64_t m = leadingMask(tail);
            dst[fullWords] = (dst[fullWords] & ~m) | (bits[fullWords] & m);
        }
        return;
    }
    // Each source word straddles two destination words; what it spills
    // into the next is carried in a register.
    const std::uint64_t hi = ~leadingMask(s);  // low 64 - s bits of a word
    if (fullWords > 0) {
        dst[0] = (dst[0] & ~hi) | (bits[0] >> s);  // the pixels before x stay
        shiftedCopy(dst, bits, std::size_t(fullWords), s);
        const std::uint64_t carry = bits[fullWords - 1] << (64 - s);
        dst[fullWords] = (dst[fullWords] & hi) | carry;
    }
    if (tail) {
        const std::uint64_t m = leadingMask(tail);
        const std::uint64_t v = bits[fullWords] & m;
        std::uint64_t* d = dst + fullWords;
        d[0] = (d[0] & ~(m >> s)) | (v >> s);
        if (s + tail > 64) {
            const std::uint64_t m2 = m << (64 - s);
            d[1] = (d[1] & ~m2) | (v << (64 - s));
        }
    }
}

void copyBitsAcross(const std::uint64_t* from, std::uint64_t* to, int x0, int x1) {
    if (x0 >= x1 || from == to) return;
    const int w0 = x0 >> 6;
    const int w1 = (x1 - 1) >> 6;
    const std::uint64_t first = ~leadingMask(x0 & 63);
    const std::uint64_t last = leadingMask(((x1 - 1) & 63) + 1);
    if (w0 == w1) {
        const std::uint64_t m = first & last;
        to[w0] = (to[w0] & ~m) | (from[w0] & m);
        return;
    }
    to[w0] = (to[w0] & ~first) | (from[w0] & first);
    if (w1 > w0 + 1) std::memcpy(to + w0 + 1, from + w0 + 1, std::size_t(w1 - w0 - 1) * sizeof(std::uint64_t));
    to[w1] = (to[w1] & ~last) | (from[w1] & last);
}

void fillBits(std::uint64_t* row, int x0, int x1, bool ink) {
    forEachWord(x0, x1, [&](int w, std::uint64_t m) {
        if (ink)
            row[w] |= m;
        else
            row[w] &= ~m;
        return false;
    });
}

void orRows(const Bitmap& bitmap, int y0, int y1, std::uint64_t* out) {
    const int wpr = bitmap.wordsPerRow();
    std::fill(out, out + wpr, 0);
    if (y1 > y0) orRowsInto(out, bitmap.row(y0), std::size_t(wpr), std::size_t(y1 - y0), std::size_t(wpr));
}

std::int64_t countInk(const Bitmap& bitmap) {
    if (!bitmap.monochrome()) return 0;
    std::int64_t n = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint64_t* r = bitmap.row(y);
        for (int w = 0; w < bitmap.wordsPerRow(); ++w) n += std::popcount(r[w]);
    }
    return n;
}

}  // namespace quillet::imaging
