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
    const int w = empty() ? below.width() : width();
    imaging::Bitmap joined = imaging::Bitmap::uninitialised(w, height() + below.height());  // filled below
    const std::size_t wpr = std::size_t(joined.wordsPerRow());
    if (height() > 0) std::memcpy(joined.row(0), row(0), sizeof(std::uint64_t) * wpr * std::size_t(height()));
    if (below.height() > 0)
        std::memcpy(joined.row(height()), below.row(0), sizeof(std::uint64_t) * wpr * std::size_t(below.height()));
    bitmap = std::move(joined);
    top = 0;
    cut = 0;
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
