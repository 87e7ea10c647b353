#pragma once
// A grey page lit unevenly, as a lamp or a book's curve lights it: no one
// grey level splits its strokes from its paper.

#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace quillet::test {

// The paper darkens from 240 at the right to 90 at the left, the strokes
// (a grid of bars) at half the paper's brightness: the strokes at the right
// are lighter than the paper at the left. Rows are `stride` bytes apart, the
// bytes past each row's end hold 7.
struct LitPage {
    int width, height, stride;
    std::vector<std::uint8_t> grey;
    std::vector<bool> stroke;  // width x height, row by row
    bool isStroke(int x, int y) const { return stroke[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    // Pixels of a 1-bit page of the same size that are black off the strokes or white on them.
    long wrongPixels(const imaging::Bitmap& page) const;
};
LitPage litPage(int width, int height, int stride);

}  // namespace quillet::test
