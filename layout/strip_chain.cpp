#include "layout/strip_chain.h"

#include <algorithm>
#include <cassert>

namespace quillet::layout {

void StripChain::append(Strip&& below) {
    if (below.empty()) return;
    assert(parts_.empty() || below.width() == width());
    height_ += below.height();
    parts_.push_back(std::move(below));
}

bool StripChain::rowBlank(int y) const {
    for (const Strip& part : parts_) {
        if (y < part.height()) return part.rowBlank(y);
        y -= part.height();
    }
    assert(false && "row past the chain's height");
    return true;
}

void StripChain::removeTop(int n) {
    n = std::clamp(n, 0, height_);
    height_ -= n;
    while (n > 0) {
        Strip& first = parts_.front();
        const int take = std::min(n, first.height());
        first.removeTop(take);
        n -= take;
        if (first.empty()) parts_.pop_front();
    }
}

void StripChain::copyTop(imaging::Bitmap& dst, int x, int y, int w, int rows) const {
    rows = std::min(rows, height_);
    for (auto part = parts_.begin(); rows > 0; ++part) {
        const int n = std::min(rows, part->height());
        dst.blit(x, y, part->bitmap, 0, part->top, w, n);
        y += n;
        rows -= n;
    }
}

}  // namespace quillet::layout
