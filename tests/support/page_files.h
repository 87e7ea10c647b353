#pragma once
// Page files made in the test, the kinds the import reads: PDFs written with
// Qt's PDF writer, multi-page TIFFs, PNGs. No checked-in binaries.

#include <QImage>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace quillet::testing {

// A PDF with one page per bitmap, each drawn 1:1 at `dpi` (the page is the
// bitmap's size at that resolution) as a lossless 1-bit image.
void writeBitmapPdf(const std::string& path, const std::vector<imaging::Bitmap>& pages, int dpi);

// A baseline uncompressed TIFF of several pages: Format_Mono pages (index 1
// black) are stored bilevel, Format_Grayscale8 pages as 8-bit grey; each
// carries `dpi` as its resolution.
void writeTiff(const std::string& path, const std::vector<QImage>& pages, int dpi);

// A grey image of `levels`: band k of equal height has grey value levels[k].
QImage greyBands(int width, int height, const std::vector<int>& levels);

}  // namespace quillet::testing
