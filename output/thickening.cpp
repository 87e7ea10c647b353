#include "output/thickening.h"

#include <cassert>
#include <cstdint>

#include "imaging/bit_rows.h"

namespace quillet::output {

namespace {

using imaging::Rect;

// Row r shifted one pixel to the right (towards higher x), word by word.
inline std::uint64_t shiftedRight(const std::uint64_t* r, int i) {
    return (r[i] >> 1) | (i > 0 ? r[i - 1] << 63 : 0);
}

// The three shifted copies on the packed rows of a canvas that already
// holds the stretched bitmap S in (0, 0)-(w, h) and white elsewhere:
// T(x, y) = S(x - 1, y - 1) | S(x - 1, y) | S(x, y - 1). Each row needs
// only S of itself and of the row above, so the rows are rewritten in place
// from the bottom up.
void unionOfShiftedCopies(imaging::Bitmap& canvas) {
    const int words = canvas.wordsPerRow();
    if (words == 0) return;
    const std::uint64_t lastMask = imaging::leadingMask(canvas.width() - ((words - 1) << 6));
    for (int y = canvas.height() - 1; y >= 0; --y) {
        std::uint64_t* r = canvas.row(y);
        for (int i = words - 1; i >= 0; --i) r[i] = shiftedRight(r, i);
        if (y > 0) {
            const std::uint64_t* above = canvas.row(y - 1);
            for (int i = 0; i < words; ++i) r[i] |= above[i] | shiftedRight(above, i);
        }
        r[words - 1] &= lastMask;
    }
}

}  // namespace

void thicken(imaging::Bitmap& canvas, const imaging::Bitmap& source, int w, int h) {
    assert(w >= 1 && h >= 1 && canvas.width() <= w + 1 && canvas.height() <= h + 1);
    canvas.fillRect({0, 0, canvas.width(), canvas.height()}, imaging::kWhite);
    const Rect whole{0, 0, source.width(), source.height()};
    if (!canvas.monochrome()) {
        canvas.copyRect({1, 1, w + 1, h + 1}, source, whole, imaging::CopyMode::And);
        canvas.copyRect({1, 0, w + 1, h}, source, whole, imaging::CopyMode::And);
        canvas.copyRect({0, 1, w, h + 1}, source, whole, imaging::CopyMode::And);
        return;
    }
    // The three copies are the same stretch of the same size, so each is
    // the stretch into (0, 0)-(w, h) moved by a pixel.
    canvas.copyRect({0, 0, w, h}, source, whole);
    unionOfShiftedCopies(canvas);
}

}  // namespace quillet::output
