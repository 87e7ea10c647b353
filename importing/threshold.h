#pragma once
// Grey pages made 1-bit: a global threshold, chosen by Otsu's method or
// given, applied to 8-bit grey rows straight into the packed store.

#include <array>
#include <cstddef>
#include <cstdint>

#include "imaging/bitmap.h"
#include "imaging/grey_image.h"

namespace quillet::importing {

using imaging::GreyImage;

// How a grey page becomes 1-bit: a pixel is black when its grey value is at
// most `level`; automatic chooses the level of each page by Otsu's method;
// local compares each pixel with the brightness and contrast around it
// (Sauvola's method, local_threshold.h) for unevenly lit pages, and then
// the other two are not used.
struct Threshold {
    bool automatic = true;
    int level = 127;  // 0..255, used when neither automatic nor local
    bool local = false;
};

using Histogram = std::array<std::uint64_t, 256>;

Histogram histogramOf(const GreyImage& image);

// Otsu's level: the t that maximises the between-class variance of the
// classes [0, t] and [t + 1, 255]; the lowest such t on ties, 0 for an image
// of one grey value (which then reads as white unless it is 0).
int otsuLevel(const Histogram& histogram);

// The 1-bit page: black where grey <= level. Throws imaging::BitmapError
// when the page is too large to hold.
imaging::Bitmap binarize(const GreyImage& image, int level);

// The same into rows y0 .. y0 + image.height - 1 of `out`, for a page made
// band by band. Preconditions: out is monochrome, image.width ==
// out.width(), the rows lie inside out.
void binarizeRows(const GreyImage& image, int level, imaging::Bitmap& out, int y0);

// The level a threshold applies to an image: its own, or Otsu's.
int levelFor(const GreyImage& image, Threshold threshold);

// binarize at the threshold's level, or at Otsu's level of the image; or the
// local threshold at the image's resolution `dpi`.
imaging::Bitmap toOneBit(const GreyImage& image, Threshold threshold, double dpi);

}  // namespace quillet::importing
