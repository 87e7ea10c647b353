#pragma once
// Whole-page masks for the clean-up steps, word by word on the packed store:
// where the ink lies, the frame along the edges, and the set operations
// between pages of one size. Preconditions: monochrome bitmaps.

#include <cstdint>

#include "imaging/bitmap.h"
#include "imaging/geometry.h"

namespace quillet::cleanup {

// The smallest rectangle holding every black pixel; empty for a white page.
imaging::Rect inkBounds(const imaging::Bitmap& page);

// Black pixels in r (clipped to the page).
std::int64_t inkIn(const imaging::Bitmap& page, const imaging::Rect& r);

// A page of width x height, white but for a black frame `thickness` pixels
// wide along its four edges.
imaging::Bitmap frame(int width, int height, int thickness);

// a := a AND b, a := a AND NOT b; both of one size. The number of black
// pixels that a lost is returned.
std::int64_t keepOnly(imaging::Bitmap& a, const imaging::Bitmap& b);
std::int64_t takeAway(imaging::Bitmap& a, const imaging::Bitmap& b);

// The black pixels of a that lie inside r (rest white): a copy.
imaging::Bitmap within(const imaging::Bitmap& a, const imaging::Rect& r);

}  // namespace quillet::cleanup
