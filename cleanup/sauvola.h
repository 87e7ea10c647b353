#pragma once
// Sauvola's local threshold: a grey page made black and white against the
// brightness and contrast around each pixel rather than one level for the
// whole page, so uneven lighting, a shadow or a photographed page still give
// clean text.

#include "imaging/bitmap.h"
#include "imaging/grey_image.h"

namespace quillet::cleanup {


struct SauvolaSettings {
    int dpi = 300;
    double windowMillimetres = 3.0;  // the side of the square around each pixel
    double factor = 0.34;            // Sauvola's k: higher keeps less ink
};

// The 1-bit page (set bit black), as large as the grey one. Pages too small
// for the window use a smaller one; below 7 pixels a side, grey values under
// 128 are black. Throws CleanupError when Leptonica runs out of memory,
// imaging::BitmapError when the page cannot be held.
imaging::Bitmap sauvolaThreshold(const imaging::GreyImage& grey, const SauvolaSettings& settings);

// How many rows above and below a pixel its threshold looks at: a band of a
// page thresholded with this many of its neighbours' rows on each side gives
// its own rows as the whole page would (when neither is too small for the
// window).
int sauvolaReach(const SauvolaSettings& settings);

}  // namespace quillet::cleanup
