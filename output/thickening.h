#pragma once
// Thick Print: a bitmap stretched into the rectangle (0, 0)-(w, h) of a
// canvas so that every stroke grows one canvas pixel to the right and one
// downwards. The result is the union of the ink of three stretched copies,
// shifted one pixel right, one pixel down, and both (black wins), over a
// white fill of (0, 0)-(w + 1, h + 1). A one-pixel dot becomes an L of three
// pixels beside, below and diagonally below-right of its place, which itself
// stays white unless its left, upper or upper-left neighbour is black.
//
// The fill has no black outline: the outline would show as a line along the
// right and bottom edges wherever the canvas reaches past w or h, ink that is
// not in the bitmap.

#include "imaging/bitmap.h"

namespace quillet::output {

// Thickens `source`, stretched to w x h, into `canvas` (clipped to it).
// A monochrome canvas is built with one stretch and word-wise shifts on its
// packed rows; a colour canvas with the three copies and the AND operation.
// Preconditions: w, h >= 1; canvas.width() <= w + 1, canvas.height() <= h + 1.
void thicken(imaging::Bitmap& canvas, const imaging::Bitmap& source, int w, int h);

}  // namespace quillet::output
