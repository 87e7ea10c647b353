#pragma once
// One scanned page held in memory, as the scanner layer hands it out: line
// art in the packed 1-bit store (set bit = black), grey or colour as bytes,
// and the resolution it was scanned at.

#include <string>

#include "imaging/bitmap.h"
#include "imaging/bmp_file.h"

namespace quillet::acquire {

enum class ScanMode { LineArt, Grey, Colour };

struct NativeImage {
    ScanMode mode = ScanMode::LineArt;
    imaging::Bitmap lineArt;     // ScanMode::LineArt
    imaging::ByteImage picture;  // ScanMode::Grey (1 channel), ScanMode::Colour (3)
    double xDpi = 0;
    double yDpi = 0;

    int width() const { return mode == ScanMode::LineArt ? lineArt.width() : picture.width; }
    int height() const { return mode == ScanMode::LineArt ? lineArt.height() : picture.height; }
};

// Writes the page as a BMP file: 1 bit per pixel (bit 0 black) for line art,
// 8-bit grey or 24-bit colour otherwise, with the resolution in the header.
// Throws imaging::BitmapError; a failed write leaves no file under `path`.
void writeNativeImage(const NativeImage& image, const std::string& path);

}  // namespace quillet::acquire
