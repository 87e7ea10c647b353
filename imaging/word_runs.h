#pragma once
// Runs of whole 64-bit words: the inner loops of the row helpers, on wide
// registers where the processor has them. Runs may be of any length,
// including 0, and need no alignment.

#include <cstddef>
#include <cstdint>

namespace quillet::imaging {

// True when the processor has 256-bit integer registers (AVX2).
bool hasWideRegisters();

// True when every word of w[0 .. n-1] is 0. Stops at the first set word's
// block, so a run with ink near its start is cheap.
bool allZero(const std::uint64_t* w, std::size_t n);

// dst[i] |= src[r * stride + i] for every r < rows and i < n: a band of
// `rows` rows, `stride` words apart, folded into one. The band must not
// overlap dst.
void orRowsInto(std::uint64_t* dst, const std::uint64_t* src, std::size_t stride, std::size_t rows, std::size_t n);

// dst[i] = (src[i - 1] << (64 - s)) | (src[i] >> s) for 1 <= i < n: the bits
// of src moved s places towards the end of the row, word by word. dst[0] is
// not written. Precondition: 0 < s < 64; the runs must not overlap.
void shiftedCopy(std::uint64_t* dst, const std::uint64_t* src, std::size_t n, int s);

}  // namespace quillet::imaging
