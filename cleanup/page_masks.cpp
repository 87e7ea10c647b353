#include "cleanup/page_masks.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "imaging/bit_rows.h"

namespace quillet::cleanup {

using imaging::Bitmap;
using imaging::Rect;

namespace {

// a := op(a, b) word by word; returns the black pixels a lost.
template <class Op>
std::int64_t combine(Bitmap& a, const Bitmap& b, Op op) {
    std::int64_t lost = 0;
    const int words = a.wordsPerRow();
    for (int y = 0; y < a.height(); ++y) {
        std::uint64_t* ra = a.row(y);
        const std::uint64_t* rb = b.row(y);
        for (int k = 0; k < words; ++k) {
            const std::uint64_t kept = op(ra[k], rb[k]);
            lost += std::popcount(ra[k] & ~kept);
            ra[k] = kept;
        }
    }
    return lost;
}

}  // namespace

Rect inkBounds(const Bitmap& page) {
    const int w = page.width(), h = page.height();
    int top = 0;
    while (top < h && !imaging::anyInk(page.row(top), 0, w)) ++top;
    if (top == h) return {};
    int bottom = h;
    while (!imaging::anyInk(page.row(bottom - 1), 0, w)) --bottom;
    std::vector<std::uint64_t> columns(std::size_t(page.wordsPerRow()));
    imaging::orRows(page, top, bottom, columns.data());
    return {imaging::firstInk(columns.data(), 0, w), top, imaging::lastInk(columns.data(), 0, w) + 1, bottom};
}

std::int64_t inkIn(const Bitmap& page, const Rect& r) {
    const int x0 = std::max(r.left, 0), x1 = std::min(r.right, page.width());
    const int y0 = std::max(r.top, 0), y1 = std::min(r.bottom, page.height());
    std::int64_t n = 0;
    if (x0 >= x1) return 0;
    for (int y = y0; y < y1; ++y) n += imaging::countInk(page.row(y), x0, x1);
    return n;
}

Bitmap frame(int width, int height, int thickness) {
    Bitmap f(width, height);
    const int t = std::max(thickness, 0);
    f.fillRect({0, 0, width, t}, imaging::kBlack);
    f.fillRect({0, height - t, width, height}, imaging::kBlack);
    f.fillRect({0, 0, t, height}, imaging::kBlack);
    f.fillRect({width - t, 0, width, height}, imaging::kBlack);
    return f;
}

std::int64_t keepOnly(Bitmap& a, const Bitmap& b) {
    return combine(a, b, [](std::uint64_t x, std::uint64_t y) { return x & y; });
}

std::int64_t takeAway(Bitmap& a, const Bitmap& b) {
    return combine(a, b, [](std::uint64_t x, std::uint64_t y) { return x & ~y; });
}

Bitmap within(const Bitmap& a, const Rect& r) {
    Bitmap out(a.width(), a.height());
    const int x0 = std::max(r.left, 0), y0 = std::max(r.top, 0);
    out.blit(x0, y0, a, x0, y0, std::min(r.right, a.width()) - x0, std::min(r.bottom, a.height()) - y0);
    return out;
}

}  // namespace quillet::cleanup
