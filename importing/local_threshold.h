#pragma once
// Grey pages made 1-bit by Sauvola's local threshold (cleanup/sauvola.h),
// band by band: the page is never held whole in grey. Each band is
// thresholded together with the rows around it that its pixels' windows
// reach, and only its own rows are kept, so the page comes out as if it had
// been thresholded whole.

#include <functional>

#include "imaging/bitmap.h"
#include "importing/threshold.h"

namespace quillet::importing {

// Rows y .. y + rows - 1 of the grey page, valid until the next call. Throws
// ImportError when they cannot be had.
using GreyRows = std::function<GreyImage(int y, int rows)>;

// The width x height page whose rows `rowsOf` gives, at most about
// `bandRows` rows of grey at a time. `dpi` is the page's resolution (it sets
// the window's size); an implausible one (0, under 50, over 4800) counts as
// 300. Throws imaging::BitmapError when the page cannot be held and
// cleanup::CleanupError when memory runs out.
imaging::Bitmap localThreshold(int width, int height, double dpi, int bandRows, const GreyRows& rowsOf);

}  // namespace quillet::importing
