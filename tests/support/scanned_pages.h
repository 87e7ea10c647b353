#pragma once
// Pages as a scanner gives them, made in the test: generated text pages,
// turned like a page laid askew on the glass, with dust sprinkled on.

#include "imaging/bitmap.h"

namespace quillet::test {

// A generated A4 page of text-like lines at `dpi`, without the generator's
// specks (so that every black pixel is text).
imaging::Bitmap textPage(int dpi, int seed);

// The page turned `degrees` clockwise about its centre (nearest pixel, white
// brought in), the same size.
imaging::Bitmap turnedPage(const imaging::Bitmap& page, double degrees);

// The page cut down to the rectangle of its ink.
imaging::Bitmap croppedToInk(const imaging::Bitmap& page);

// Up to `count` black side x side specks at random places at least 6 pixels
// from any ink; returns how many were placed.
int sprinkleSpecks(imaging::Bitmap& page, int count, int side, unsigned seed);

}  // namespace quillet::test
