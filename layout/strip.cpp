#include "layout/strip.h"

#include <algorithm>
#include <cstring>

namespace quillet::layout {

namespace {

bool blankWords(const std::uint64_t* row, int words) {
    std::uint64_t any = 0;
    for (int i = 0; i < words; ++i) any |= row[i];
    return any == 0;  // padding bits past the width are always 0
}

}  // namespace

bool Strip::rowBlank(int y) const { return blankWords(row(y), bitmap.wordsPerRow()); }

void Strip::removeTop(int n) { top += std::clamp(n, 0, height()); }

void Strip::cutBottom(int n) { cut += std::clamp(n, 0, height()); }

void Strip::append(const Strip& below) {
    const int kept = std::max(0, height());
    if (kept == 0) {
        bitmap.reuseUninitialised(below.width(), below.height());  // filled below
    } else {
        // The rows still present move to the top of the store, which then
        // grows to take the rows of `below`.
        if (top > 0) std::memmove(bitmap.row(0), row(0), rowBytes(kept));
        bitmap.resizeRowsUninitialised(kept);
        bitmap.resizeRowsUninitialised(kept + below.height());
    }
    top = 0;
    cut = 0;
    if (below.height() > 0) std::memcpy(bitmap.row(kept), below.row(0), rowBytes(below.height()));
}

std::size_t Strip::rowBytes(int rows) const {
    return sizeof(std::uint64_t) * std::size_t(bitmap.wordsPerRow()) * std::size_t(rows);
}

int scanInkDown(const Strip& strip, int from) {
    const int h = strip.height();
    for (int y = from; y < h; ++y)
        if (!strip.rowBlank(y)) return y - from;
    return h - 1 - from;
}

int scanInkUp(const Strip& strip, int from) {
    if (from <= 0) return 0;
    for (int y = from; y >= 1; --y)
        if (!strip.rowBlank(y)) return y - from;
    return 1 - from;
}

int scanBlankUp(const Strip& strip, int from) {
    if (from <= 0) return 0;
    for (int y = from; y >= 1; --y)
        if (strip.rowBlank(y)) return y - from;
    return 1 - from;
}

}  // namespace quillet::layout
