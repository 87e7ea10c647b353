#pragma once
// Dark borders: black regions at the page's edge that are not text, so that
// autocrop finds the text block. Removed are
//   - solid dark regions that touch the edge, stay in the outer quarter of
//     the page on each side and lie beside bare paper (a scanner lid's
//     shadow, a book's gutter, the dark platen around a small page; not the
//     dark parts of a picture),
//   - solid round blobs of 3 to 12 mm in that outer zone (punched holes),
//   - ink touching the edge (or within a millimetre of it) in the outer zone
//     that is a long thin line (the next page's edge) or a large dense patch.
// Glyphs that touch the margin are neither solid nor long: they stay. A page
// that is nearly all dark is left as it is: there is no page inside to keep.

#include <cstdint>

#include "imaging/bitmap.h"

namespace quillet::cleanup {

struct BorderSettings {
    int dpi = 300;  // sizes above are in millimetres at this resolution
};

struct BorderReport {
    int regions = 0;           // separate regions removed
    std::int64_t pixels = 0;   // black pixels removed
    bool leftDark = false;     // the page was nearly all dark and left alone
};

struct BordersRemoved {
    imaging::Bitmap page;
    BorderReport report;
};

// Precondition: monochrome. Throws CleanupError when Leptonica runs out of
// memory.
BordersRemoved removeDarkBorders(const imaging::Bitmap& page, const BorderSettings& settings);

}  // namespace quillet::cleanup
