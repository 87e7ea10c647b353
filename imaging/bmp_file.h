#pragma once
// Reading and writing Windows BMP files.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/bitmap_error.h"
#include "imaging/bmp_header.h"

namespace quillet::imaging {

// Loads a BMP file. 1-bit, one-plane files become monochrome bitmaps (pixels
// read back as the colour table decides: the darker entry is black) that keep
// the file's resolution, so a page saved again keeps it; 4, 8, 16, 24,
// 32-bit and run-length encoded files become colour bitmaps.
// Throws BitmapError on any failure: "Bitmap image is not valid" for a wrong
// signature or info header size, a message naming the fault otherwise.
Bitmap loadBmp(const std::string& path);

// The checked headers of a file, read without its pixel data. Throws
// BitmapError like loadBmp for a file that loadBmp would refuse by its
// headers.
BmpHeader readBmpHeader(const std::string& path);

// True when the file's header says one plane and one bit per pixel; reads the
// headers only. Throws BitmapError like loadBmp.
bool isMonochromeBmp(const std::string& path);

// The resolution written into the info header, in pixels per metre; 0 when
// not known.
struct BmpResolution {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
// Dots per inch to pixels per metre, rounded; 0 for a resolution not above 0.
BmpResolution bmpResolutionFromDpi(double xDpi, double yDpi);

// Saves a bitmap as an uncompressed BMP: 1 bit per pixel with a two-entry
// colour table (black, white; pixel data at offset 62) for monochrome
// bitmaps, 24 bits per pixel otherwise, with the bitmap's resolution fields
// in the header. Writes a temporary file beside the
// target and renames it over the target when complete, so a failed save never
// leaves a truncated file under the name. Throws BitmapError on failure.
void saveBmp(const Bitmap& bitmap, const std::string& path);
// The same with the resolution in the info header.
void saveBmpAtResolution(const Bitmap& bitmap, const std::string& path, BmpResolution resolution);

// A grey or colour picture as a scanner delivers it: rows top-down without
// padding, `channels` bytes per pixel (1: grey level, 3: red, green, blue).
struct ByteImage {
    int width = 0;
    int height = 0;
    int channels = 1;
    std::vector<std::uint8_t> bytes;  // width * height * channels
};
// Saves it as an 8-bit BMP with a 256-level grey table (1 channel) or a
// 24-bit BMP (3 channels), the same way as saveBmp.
void saveByteImageBmp(const ByteImage& image, const std::string& path, BmpResolution resolution);

// The same in memory: decodes a whole BMP file held in `size` bytes (throws
// like loadBmp), and encodes a bitmap exactly as saveBmp writes it.
Bitmap decodeBmp(const std::uint8_t* file, std::size_t size);
std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap);
// Size of the encoding, and encoding into a caller's buffer of that size.
std::size_t encodedBmpSize(const Bitmap& bitmap);
void encodeBmp(const Bitmap& bitmap, std::uint8_t* out, BmpResolution resolution = {});

}  // namespace quillet::imaging
