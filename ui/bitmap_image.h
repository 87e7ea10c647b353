#pragma once
// Turning Quillet bitmaps into Qt images for display and printing, straight
// from the packed rows (no per-pixel reads of the bitmap).

#include <QImage>
#include <QRect>

#include "imaging/bitmap.h"

namespace quillet::ui {

// A QImage of the whole bitmap for a print job, where it is drawn 1:1: for
// a monochrome bitmap a Format_Mono whose colour table is exactly black
// (index 0), then white (index 1), the one form that Qt's PDF engine embeds
// as lossless 1-bit data (with any other table it converts the page to RGB
// and compresses it as JPEG); Format_Grayscale8 for a colour bitmap of greys
// only, Format_RGB32 for any other. A 0-sized bitmap, or one whose image
// cannot be allocated, gives a null image.
QImage toPrintImage(const imaging::Bitmap& bitmap);

// The bitmap reduced to width x height for display: a monochrome bitmap
// shrinks black-wins on its packed store (thin strokes stay visible), a
// colour one by dropping pixels. Equal sizes give a copy.
// Preconditions: width, height >= 0.
imaging::Bitmap reduceForDisplay(const imaging::Bitmap& bitmap, int width, int height);

// The part `area` of the bitmap (clipped to it) in the screen's own pixel
// format, Format_RGB32, ready to be drawn without further conversion. A
// monochrome bitmap is expanded from its packed words through a table,
// eight pixels per byte. An empty area gives a null image.
QImage toScreenImage(const imaging::Bitmap& bitmap, const QRect& area);

}  // namespace quillet::ui
