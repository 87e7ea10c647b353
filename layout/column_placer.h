#pragma once
// Placing (the third phase of the OK command): the strips are cut into
// pieces, in Column format at all-white rows so that no text line is split,
// and the pieces are placed left to right in bands on external pages.

#include <functional>
#include <vector>

#include "imaging/bitmap.h"
#include "layout/composition_settings.h"
#include "layout/composition_status.h"
#include "layout/strip.h"

namespace quillet::layout {

// Receives each external page once its pieces are placed: the finished
// page's bitmap, page area width + G + H wide and t + E + F high, with the
// page area drawn at (G, E), and the page number m (from 1). It may throw to
// stop the run.
using PageDone = std::function<void(imaging::Bitmap& page, int m)>;

// The cut offset c for a piece of height s: 0 when the strip is exactly s
// high (or in Row format with bi = 0); otherwise the offset (<= 0) of the
// nearest all-white row at or above row s. When no all-white row lies between
// row 1 and row s the cut falls at row s (c = 0): a block taller than the
// column continues in the next column instead of making two-row pieces.
// Rows: a strip or anything else with its rows (height() and rowBlank(y)).
template <class Rows>
int cutOffset(const CompositionSettings& s, const Rows& strip, int pieceHeight) {
    if (strip.height() == pieceHeight) return 0;
    if (s.rowFormat() && s.bi == 0) return 0;
    const int c = scanBlankUp(strip, pieceHeight);
    // The walk ends at row 1 without telling a match from none: look.
    if (pieceHeight > 1 && c == 1 - pieceHeight && !strip.rowBlank(1)) return 0;
    return c;
}

// Runs the placing phase: consumes the strips (they are freed as they are
// used), calls `done` for every external page in order, writes the status
// text "Final layout processing . . .  n%" after each piece. Returns the
// number of external pages.
int placePages(const CompositionSettings& s, std::vector<Strip>& strips, CompositionStatus& status,
               const PageDone& done);

}  // namespace quillet::layout
