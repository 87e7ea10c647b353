#pragma once
// Word-wise helpers for rows of the packed 1-bit store: bit ranges, ink
// searches, row projections. Bits are numbered MSB-first from the start of a
// row (pixel x is bit 63 - x % 64 of word x / 64), a set bit is black.
//
// Ranges are half-open, [x0, x1), in pixels. Callers keep them inside the
// row; none of these functions clip.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace quillet::imaging {

class Bitmap;

// The top n bits of a word set (n in 0..64).
inline constexpr std::uint64_t leadingMask(int n) {
    return n <= 0 ? 0 : n >= 64 ? ~std::uint64_t(0) : ~std::uint64_t(0) << (64 - n);
}

// Mask of the bits [x0, x1) of the word holding them, for 0 <= x0 < x1 <= 64.
inline constexpr std::uint64_t spanMask(int x0, int x1) {
    return leadingMask(x1) & ~leadingMask(x0);
}

// Words needed for n bits.
inline constexpr int wordsFor(int bits) { return (bits + 63) >> 6; }

// True when any pixel of [x0, x1) in the row is black.
bool anyInk(const std::uint64_t* row, int x0, int x1);

// The first / last black pixel of [x0, x1), or -1 when the range is white.
int firstInk(const std::uint64_t* row, int x0, int x1);
int lastInk(const std::uint64_t* row, int x0, int x1);

// Number of black pixels in [x0, x1).
std::int64_t countInk(const std::uint64_t* row, int x0, int x1);

// True when pixels [x0, x1) of two rows are equal.
bool rangesEqual(const std::uint64_t* a, const std::uint64_t* b, int x0, int x1);

// Copies bits [x, x + n) of a row to out, aligned so that bit x lands on the
// first bit of out[0]; the words past n bits in out's last word are cleared.
// out must hold wordsFor(n) words.
void extractBits(const std::uint64_t* row, int x, int n, std::uint64_t* out);

// Writes n aligned bits (as extractBits produces) into a row at x.
// orInk = false replaces the pixels; orInk = true only adds black (the AND
// raster operation in colour terms: white stays only where both are white).
void depositBits(std::uint64_t* row, int x, const std::uint64_t* bits, int n, bool orInk);

// Copies pixels [x0, x1) of row from into the same pixels of row to, leaving
// the rest of to as it was. The rows must not overlap (they may be equal).
void copyBitsAcross(const std::uint64_t* from, std::uint64_t* to, int x0, int x1);

// Sets pixels [x0, x1) of a row black (ink = true) or white.
void fillBits(std::uint64_t* row, int x0, int x1, bool ink);

// Row projection: out[w] = OR over rows y0..y1-1 of the bitmap's word w, for
// the whole row (bitmap.wordsPerRow() words). A column x of the band holds
// ink exactly when bit x of the projection is set. Precondition: monochrome.
void orRows(const Bitmap& bitmap, int y0, int y1, std::uint64_t* out);

// Number of black pixels in the bitmap (0 for a colour bitmap).
std::int64_t countInk(const Bitmap& bitmap);

}  // namespace quillet::imaging
