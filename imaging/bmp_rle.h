#pragma once
// Run-length encoded BMP pixel data (RLE8 and RLE4), decoded by our own code
// so that every load of a file gives the same bitmap.

#include <cstddef>
#include <cstdint>

#include "imaging/bitmap.h"
#include "imaging/bmp_header.h"

namespace quillet::imaging {

// Decodes the run-length encoded pixels of a file held in `size` bytes whose
// checked header is h (compression 1 with 8 bits per pixel or 2 with 4) into
// a colour bitmap. Pixels the stream does not cover (after an early end of
// bitmap, skipped by a delta, past a row's end-of-line, or after the data
// runs out) are colour index 0; indices past the colour table are black;
// pixels or rows past the image are dropped.
Bitmap decodeRle(const BmpHeader& h, const std::uint8_t* file, std::size_t size);

}  // namespace quillet::imaging
