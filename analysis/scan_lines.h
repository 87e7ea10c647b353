#pragma once
// The line scan: the one pixel-walking primitive that autocrop, the line-gap
// statistics and the composition rest on.

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
int ScanLines(ScanMode mode, const imaging::Bitmap& bitmap, ScanDirection direction,
              int startLine, int first, int last);

}  // namespace quillet::analysis
