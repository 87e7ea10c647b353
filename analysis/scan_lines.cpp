#include "analysis/scan_lines.h"

#include <algorithm>
#include <bit>

#include "imaging/bit_rows.h"
#include "imaging/word_runs.h"

namespace quillet::analysis {

using imaging::leadingMask;

RowScanner::RowScanner(const imaging::Bitmap& bitmap, int first, int last) : bitmap_(bitmap) {
    first = std::max(first, 0);
    last = std::min(last, bitmap.width() - 1);
    if (first > last) {
        empty_ = true;
        return;
    }
    w0_ = first >> 6;
    w1_ = last >> 6;
    m0_ = ~leadingMask(first & 63);
    m1_ = leadingMask((last & 63) + 1);
    if (w0_ == w1_) m0_ &= m1_;
}

bool RowScanner::hasInk(int y) const {
    const std::uint64_t* row = bitmap_.row(y);
    if (w0_ == w1_) return (row[w0_] & m0_) != 0;
    if (row[w0_] & m0_) return true;
    if (!imaging::allZero(row + w0_ + 1, std::size_t(w1_ - w0_ - 1))) return true;
    return (row[w1_] & m1_) != 0;
}

int RowScanner::scan(ScanMode mode, ScanDirection direction, int start) const {
    const int height = bitmap_.height();
    if (start < 0 || start >= height) return 0;
    const bool wantInk = mode == ScanMode::FindInk;
    const int lo = start == 0 ? 0 : 1;  // Up never examines row 0 unless it starts there
    if (direction == ScanDirection::Down) {
        if (empty_) return wantInk ? height - 1 - start : 0;
        for (int y = start;; ++y)
            if (hasInk(y) == wantInk || y + 1 == height) return y - start;
    }
    if (direction == ScanDirection::Up) {
        if (empty_) return wantInk ? lo - start : 0;
        for (int y = start;; --y)
            if (hasInk(y) == wantInk || y - 1 < lo) return y - start;
    }
    return 0;
}

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
    switch (direction) {
        case ScanDirection::Down:
        case ScanDirection::Up:
            return RowScanner(bitmap, first, last).scan(mode, direction, startLine);
        case ScanDirection::Right:
        case ScanDirection::Left:
            if (startLine < 0 || startLine >= bitmap.width()) return 0;
            return ColumnProjection(bitmap, first, last).scan(mode, direction, startLine);
    }
    return 0;
}

}  // namespace quillet::analysis
