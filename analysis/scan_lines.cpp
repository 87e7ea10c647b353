#include "analysis/scan_lines.h"

#include <algorithm>
#include <bit>

#include "imaging/bit_rows.h"

namespace quillet::analysis {

namespace {

using imaging::leadingMask;

// The words and edge masks of one row's cross range, so that each examined
// row costs a few word reads.
struct RowRange {
    int w0 = 0, w1 = 0;
    std::uint64_t m0 = 0, m1 = 0;

    RowRange(int first, int last) : w0(first >> 6), w1(last >> 6) {
        m0 = ~leadingMask(first & 63);
        m1 = leadingMask((last & 63) + 1);
        if (w0 == w1) m0 &= m1;
    }

    bool hasInk(const std::uint64_t* row) const {
        if (w0 == w1) return (row[w0] & m0) != 0;
        if (row[w0] & m0) return true;
        for (int w = w0 + 1; w < w1; ++w)
            if (row[w]) return true;
        return (row[w1] & m1) != 0;
    }
};

int scanRows(bool wantInk, const imaging::Bitmap& bitmap, bool down, int start, int first,
             int last) {
    const int height = bitmap.height();
    const int lo = start == 0 ? 0 : 1;  // Up never examines row 0 unless it starts there
    first = std::max(first, 0);
    last = std::min(last, bitmap.width() - 1);
    if (first > last) {
        // No pixel to test: no row holds ink, every row is blank.
        if (!wantInk) return 0;
        return down ? height - 1 - start : lo - start;
    }
    const RowRange range(first, last);
    if (down) {
        for (int y = start;; ++y) {
            if (range.hasInk(bitmap.row(y)) == wantInk || y + 1 == height) return y - start;
        }
    }
    for (int y = start;; --y) {
        if (range.hasInk(bitmap.row(y)) == wantInk || y - 1 < lo) return y - start;
    }
}

}  // namespace

ColumnProjection::ColumnProjection(const imaging::Bitmap& bitmap, int firstRow, int lastRow)
    : width_(bitmap.width()), words_(std::size_t(std::max(bitmap.wordsPerRow(), 1)), 0) {
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, bitmap.height() - 1);
    if (firstRow <= lastRow) imaging::orRows(bitmap, firstRow, lastRow + 1, words_.data());
}

int ColumnProjection::scan(ScanMode mode, ScanDirection direction, int start) const {
    if (start < 0 || start >= width_) return 0;
    // Searching for a clear bit is searching the inverted words for a set one.
    const std::uint64_t flip = mode == ScanMode::FindInk ? 0 : ~std::uint64_t(0);
    if (direction == ScanDirection::Right) {
        const int lastWord = (width_ - 1) >> 6;
        int w = start >> 6;
        std::uint64_t v = (words_[std::size_t(w)] ^ flip) & ~leadingMask(start & 63);
        while (v == 0) {
            if (++w > lastWord) return width_ - 1 - start;
            v = words_[std::size_t(w)] ^ flip;
        }
        const int x = (w << 6) + std::countl_zero(v);
        // Inverted padding bits past the width are not columns.
        return x < width_ ? x - start : width_ - 1 - start;
    }
    if (direction == ScanDirection::Left) {
        const int lo = start == 0 ? 0 : 1;  // column 0 only when it is the start
        int w = start >> 6;
        std::uint64_t v = (words_[std::size_t(w)] ^ flip) & leadingMask((start & 63) + 1);
        while (v == 0) {
            if (--w < 0) return lo - start;
            v = words_[std::size_t(w)] ^ flip;
        }
        const int x = (w << 6) + 63 - std::countr_zero(v);
        return x >= lo ? x - start : lo - start;
    }
    return 0;
}

int ScanLines(ScanMode mode, const imaging::Bitmap& bitmap, ScanDirection direction,
              int startLine, int first, int last) {
    const bool wantInk = mode == ScanMode::FindInk;
    switch (direction) {
        case ScanDirection::Down:
        case ScanDirection::Up:
            if (startLine < 0 || startLine >= bitmap.height()) return 0;
            return scanRows(wantInk, bitmap, direction == ScanDirection::Down, startLine, first,
                            last);
        case ScanDirection::Right:
        case ScanDirection::Left:
            if (startLine < 0 || startLine >= bitmap.width()) return 0;
            return ColumnProjection(bitmap, first, last).scan(mode, direction, startLine);
    }
    return 0;
}

}  // namespace quillet::analysis
