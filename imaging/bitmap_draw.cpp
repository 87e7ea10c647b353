// Filled and outlined rectangles and lines.

#include <algorithm>
#include <cstdlib>

#include "imaging/bit_rows.h"
#include "imaging/bitmap.h"
#include "imaging/colour.h"

namespace quillet::imaging {

void Bitmap::fillRect(const Rect& r, Rgb c) {
    const int x0 = std::max(r.left, 0), x1 = std::min(r.right, width_);
    const int y0 = std::max(r.top, 0), y1 = std::min(r.bottom, height_);
    if (x0 >= x1 || y0 >= y1) return;
    if (monochrome_) {
        const bool ink = isDark(c);
        for (int y = y0; y < y1; ++y) fillBits(row(y), x0, x1, ink);
    } else {
        const std::uint32_t p = packRgb(c);
        for (int y = y0; y < y1; ++y) std::fill(colourRow(y) + x0, colourRow(y) + x1, p);
    }
}

void Bitmap::frameRect(const Rect& r, Rgb c) {
    if (r.isEmpty()) return;
    fillRect({r.left, r.top, r.right, r.top + 1}, c);
    fillRect({r.left, r.bottom - 1, r.right, r.bottom}, c);
    fillRect({r.left, r.top + 1, r.left + 1, r.bottom - 1}, c);
    fillRect({r.right - 1, r.top + 1, r.right, r.bottom - 1}, c);
}

void Bitmap::drawLine(Point a, Point b, Rgb c) {
    if (a.y == b.y) {
        fillRect({std::min(a.x, b.x), a.y, std::max(a.x, b.x) + 1, a.y + 1}, c);
        return;
    }
    if (a.x == b.x) {
        fillRect({a.x, std::min(a.y, b.y), a.x + 1, std::max(a.y, b.y) + 1}, c);
        return;
    }
    // Bresenham over the whole line, plotting only the points inside; lines
    // are short next to the store, so no analytic clipping is needed.
    const bool ink = isDark(c);
    const std::uint32_t p = packRgb(c);
    const std::int64_t dx = std::abs(std::int64_t(b.x) - a.x), dy = -std::abs(std::int64_t(b.y) - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    std::int64_t err = dx + dy;
    int x = a.x, y = a.y;
    for (;;) {
        if (x >= 0 && x < width_ && y >= 0 && y < height_) {
            if (monochrome_)
                setBlack(x, y, ink);
            else
                colourRow(y)[x] = p;
        }
        if (x == b.x && y == b.y) break;
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

}  // namespace quillet::imaging
