#pragma once
// The one door to Leptonica: the few of its operations the clean-up steps
// use, taking and giving imaging::Bitmap. A page crosses into Leptonica's
// 1-bit image by a word-order conversion (our 64-bit words hold two of its
// 32-bit words, high half first; both are most significant bit first with a
// set bit black), so no call walks pixels one by one. Leptonica's own
// messages are silenced.
//
// Every function throws CleanupError when Leptonica gives up (no memory for
// its images) and imaging::BitmapError when a result cannot be held.
// Preconditions: monochrome bitmaps, neither side 0.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/geometry.h"

namespace quillet::cleanup::leptonica {

// The skew of the text lines, as Leptonica's sweep and binary search find
// it: `degrees` turns the page back straight (positive clockwise on the
// screen), `confidence` is the ratio of the best score to the worst.
struct Skew {
    bool found = false;  // false: no ink, or the best angle lay at the sweep's edge
    double degrees = 0;
    double confidence = 0;
};
// Sweeps [-range, range] degrees in whole degrees on the page reduced
// `sweepReduction` times, then halves the step down to a hundredth of a
// degree on the page reduced `searchReduction` times (each 1, 2, 4 or 8,
// search <= sweep).
Skew findSkew(const imaging::Bitmap& page, double range, int sweepReduction, int searchReduction);

// The score of the page's text lines at each of `degrees` (Leptonica's sum
// of squared differences between neighbouring rows' ink, after a vertical
// shear by that angle), on the page reduced `reduction` times (1, 2, 4 or 8):
// highest when the lines run along the rows.
std::vector<double> skewScores(const imaging::Bitmap& page, int reduction, const std::vector<double>& degrees);

// The page turned `degrees` (positive clockwise on the screen) about
// (cx, cy) by two or three shears, so strokes stay crisp; white comes in at
// the edges and what leaves the page is lost. Same size as the page.
imaging::Bitmap rotateByShear(const imaging::Bitmap& page, double degrees, int cx, int cy);

// A quarter of the width and height: a pixel is black only when all sixteen
// under it are, so only solid ink is left.
imaging::Bitmap reduceSolid4(const imaging::Bitmap& page);
// Four times the width and height (each pixel a 4 x 4 block), cut or made
// up with white to width x height.
imaging::Bitmap expand4(const imaging::Bitmap& page, int width, int height);
// Morphological opening and dilation by a size x size square.
imaging::Bitmap open(const imaging::Bitmap& page, int size);
imaging::Bitmap dilate(const imaging::Bitmap& page, int size);
// The 8-connected parts of `mask` that hold a pixel of `seed` (same size).
imaging::Bitmap fillFrom(const imaging::Bitmap& seed, const imaging::Bitmap& mask);

// An 8-connected component: its bounding box and number of pixels.
struct Component {
    imaging::Rect box;
    std::int64_t pixels = 0;
};
// The bounding boxes of the 8-connected components.
std::vector<imaging::Rect> componentBoxes(const imaging::Bitmap& page);
// The page without the 8-connected components that `drop` picks; `dropped`
// is set to how many it picked.
imaging::Bitmap withoutComponents(const imaging::Bitmap& page, const std::function<bool(const Component&)>& drop,
                                  int& dropped);

// Sauvola's local threshold of 8-bit grey rows (0 black .. 255 white,
// `stride` bytes apart): black where a pixel is darker than
// mean * (1 + factor * (deviation / 128 - 1)) over the (2 * halfWindow + 1)
// square around it, worked out in tiles so memory stays bounded.
// Preconditions: halfWindow >= 2, both sides >= 2 * halfWindow + 3.
imaging::Bitmap sauvola(const std::uint8_t* pixels, int width, int height, std::ptrdiff_t stride, int halfWindow,
                        double factor);

}  // namespace quillet::cleanup::leptonica
