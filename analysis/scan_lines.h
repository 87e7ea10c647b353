#pragma once
// The line scan: the one pixel-walking primitive that autocrop, the line-gap
// statistics and the composition rest on.

#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace quillet::analysis {

// FindInk: a line matches when at least one pixel of its cross range is
// black. FindBlank: a line matches when every pixel of its cross range is
// white.
enum class ScanMode { FindInk, FindBlank };
// Down/Up walk rows (increasing/decreasing y); Right/Left walk columns.
enum class ScanDirection { Down, Up, Right, Left };

// Walks lines from startLine in the direction until one matches, testing
// each line over the cross range first..last (inclusive; columns for rows,
// rows for columns). Returns the signed offset from startLine: 0 when the
// start line matches, positive for Down/Right, negative for Up/Left. When the
// next line would be past the far edge (height/width for Down/Right, line 0
// for Up/Left) the walk stops and returns the offset of the last line
// examined: Up/Left never examine line 0 unless it is the start line.
// Preconditions: monochrome bitmap; startLine inside it; first <= last and
// both inside the other axis.
// Edges: a cross range clipped to nothing has no pixel, so FindInk never
// matches and FindBlank always does; a start line outside the bitmap
// examines nothing and returns 0. Rows are tested 64 pixels per step; column
// walks build the OR projection of rows first..last once per call.
int ScanLines(ScanMode mode, const imaging::Bitmap& bitmap, ScanDirection direction,
              int startLine, int first, int last);

// Row walks over one fixed cross range of columns, with the range's words
// and edge masks worked out once: the line-gap statistics walk every row of a
// page this way.
class RowScanner {
public:
    // The columns first..last (inclusive, clipped to the bitmap) of a
    // monochrome bitmap, which must outlive the scanner.
    RowScanner(const imaging::Bitmap& bitmap, int first, int last);

    // ScanLines over rows with this cross range: same walk and result, for
    // the directions Down and Up only (Right/Left return 0). A start row
    // outside the bitmap examines nothing and returns 0.
    int scan(ScanMode mode, ScanDirection direction, int startRow) const;

private:
    bool hasInk(int y) const;

    const imaging::Bitmap& bitmap_;
    bool empty_ = false;  // no column in range: no row has ink
    int w0_ = 0, w1_ = 0;
    std::uint64_t m0_ = 0, m1_ = 0;
};

// The columns of a band of rows folded into one row of words: bit x is set
// exactly when column x holds ink in some row of the band. Column walks that
// repeat over the same rows (autocrop's left and right edges) build it once.
class ColumnProjection {
public:
    // Folds rows firstRow..lastRow (inclusive, clipped to the bitmap) of a
    // monochrome bitmap. An empty band gives an all-white projection.
    ColumnProjection(const imaging::Bitmap& bitmap, int firstRow, int lastRow);

    int width() const { return width_; }
    // True when column x (0 <= x < width) holds ink in the band.
    bool hasInk(int x) const { return (words_[std::size_t(x) >> 6] >> (63 - (x & 63))) & 1u; }

    // ScanLines over the band's columns: same walk and result, for the
    // directions Right and Left only (Down/Up return 0). Precondition:
    // 0 <= startColumn < width; outside it nothing is examined and 0 returned.
    int scan(ScanMode mode, ScanDirection direction, int startColumn) const;

private:
    int width_ = 0;
    std::vector<std::uint64_t> words_;
};

}  // namespace quillet::analysis
