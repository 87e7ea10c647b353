#include "layout/strip.h"

#include <algorithm>

#include "imaging/word_runs.h"

namespace quillet::layout {

// Padding bits past the width are always 0, so whole words are tested.
bool Strip::rowBlank(int y) const { return imaging::allZero(row(y), std::size_t(bitmap.wordsPerRow())); }

void Strip::removeTop(int n) { top += std::clamp(n, 0, height()); }

void Strip::cutBottom(int n) { cut += std::clamp(n, 0, height()); }

}  // namespace quillet::layout
