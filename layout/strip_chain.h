#pragma once
// The strip that placing cuts its pieces from: a strip topped up with the
// strips that follow it. Their rows follow one another without being copied
// together, so a piece may take rows of several of them; rows leave from the
// top, and each strip is freed once its last row has left.

#include <deque>

#include "imaging/bitmap.h"
#include "layout/strip.h"

namespace quillet::layout {

class StripChain {
public:
    // Takes `below` over, its rows under the rows held. Precondition: as
    // wide as the strips held.
    void append(Strip&& below);

    int height() const { return height_; }
    bool empty() const { return height_ <= 0; }
    // The strips' width, 0 while no row is held.
    int width() const { return parts_.empty() ? 0 : parts_.front().width(); }
    // True when row y (0 <= y < height) has no black pixel.
    bool rowBlank(int y) const;

    // Removes rows 0 .. n-1 (n clamped to the height).
    void removeTop(int n);
    // Copies rows 0 .. rows-1, columns 0 .. w-1, 1:1 into dst at (x, y)
    // (clipped like Bitmap::blit).
    void copyTop(imaging::Bitmap& dst, int x, int y, int w, int rows) const;

private:
    std::deque<Strip> parts_;  // none empty
    int height_ = 0;
};

}  // namespace quillet::layout
