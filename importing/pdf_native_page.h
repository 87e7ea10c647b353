#pragma once
// A PDF page that holds nothing but one image covering the page, drawn
// upright and unmirrored (how scanners and most scanned books write their
// pages), taken at the image's own pixels: 1-bit images are decoded straight
// into the packed store, grey and colour ones thresholded. The page's
// resolution is the image's.

#include <optional>

#include "imaging/bitmap.h"
#include "importing/threshold.h"

class PDFDoc;

namespace quillet::importing {

// The page's own image, or nothing when the page is anything else: more
// than one image, anything else painted on it (visible text, lines, fills,
// annotations), an image drawn rotated, mirrored, clipped, masked, blended
// or not covering the page to within a pixel, or one too large to hold.
// Invisible text (a scan's recognised words) is allowed. pageNumber counts
// from 1.
std::optional<imaging::Bitmap> nativePage(PDFDoc& doc, int pageNumber, Threshold threshold);

}  // namespace quillet::importing
