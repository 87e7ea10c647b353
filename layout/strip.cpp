#include "layout/strip.h"

#include <algorithm>

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

}  // namespace quillet::layout
