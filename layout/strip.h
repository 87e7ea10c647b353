#pragma once
// A strip: a tall monochrome bitmap holding frames stacked top to bottom.
// Rows removed from its top are only skipped (`top` moves down) so that
// taking a piece off a strip never moves the rest; row y of the strip is row
// top + y of its bitmap. The line scans below keep the walk and results of
// the system's line scan (ScanLines) over the strip's full width, testing a
// row 64 pixels per step.

#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace quillet::layout {

// Rows [first, last) of a strip's source rows.
struct RowRun {
    int first = 0;
    int last = 0;
    friend bool operator==(RowRun, RowRun) = default;
};

struct Strip {
    imaging::Bitmap bitmap;
    int top = 0;  // rows above are removed
    int cut = 0;  // rows at the bottom of the bitmap that are cut off

    // Compression record: the height before compression and the source rows
    // kept, in order (empty when the strip was not compressed).
    int originalHeight = 0;
    std::vector<RowRun> keptRuns;

    int height() const { return bitmap.height() - top - cut; }
    int width() const { return bitmap.width(); }
    bool empty() const { return height() <= 0; }
    const std::uint64_t* row(int y) const { return bitmap.row(top + y); }

    // True when row y (0 <= y < height) has no black pixel.
    bool rowBlank(int y) const;

    // Removes rows 0 .. n-1 (n clamped to the height).
    void removeTop(int n);
    // Removes n rows at the bottom (clamped); the store stays as it is.
    void cutBottom(int n);
};

// The line scans below work on a strip or on anything else with its rows:
// height() and rowBlank(y).

// ScanLines(FindInk, black, strip, Down, from, full width): the offset from
// `from` to the first row with ink at or below it, or to the last row when
// none has ink. Precondition: 0 <= from < height.
template <class Rows>
int scanInkDown(const Rows& strip, int from) {
    const int h = strip.height();
    for (int y = from; y < h; ++y)
        if (!strip.rowBlank(y)) return y - from;
    return h - 1 - from;
}

// ScanLines(FindInk, black, strip, Up, from, full width): offset <= 0 to the
// nearest row with ink at or above `from`; row 0 is examined only as the
// start row, so a walk without a match ends at row 1.
template <class Rows>
int scanInkUp(const Rows& strip, int from) {
    if (from <= 0) return 0;
    for (int y = from; y >= 1; --y)
        if (!strip.rowBlank(y)) return y - from;
    return 1 - from;
}

// ScanLines(FindBlank, white, strip, Up, from, full width): offset <= 0 to
// the nearest all-white row at or above `from`, same edge rule.
template <class Rows>
int scanBlankUp(const Rows& strip, int from) {
    if (from <= 0) return 0;
    for (int y = from; y >= 1; --y)
        if (strip.rowBlank(y)) return y - from;
    return 1 - from;
}

}  // namespace quillet::layout
