#pragma once
// Turning Quillet bitmaps into Qt images for display and printing, straight
// from the packed rows (no per-pixel reads).

#include <QImage>

#include "imaging/bitmap.h"

namespace quillet::ui {

// A QImage of the bitmap: Format_Mono (index 0 white, 1 black) for a
// monochrome bitmap, Format_RGB32 for a colour one. A 0-sized bitmap gives a
// null image.
QImage toDisplayImage(const imaging::Bitmap& bitmap);

// The bitmap reduced to width x height for display: a monochrome bitmap
// shrinks black-wins on its packed store (thin strokes stay visible), a
// colour one by dropping pixels. Equal sizes give toDisplayImage(bitmap).
// Preconditions: width, height >= 0.
QImage toDisplayImage(const imaging::Bitmap& bitmap, int width, int height);

}  // namespace quillet::ui
