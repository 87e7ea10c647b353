#include "layout/strip_writer.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "base/populate.h"
#include "imaging/word_runs.h"

namespace quillet::layout {

namespace {

// The store is readied for writing this much at a time.
constexpr std::size_t kReadyBytes = std::size_t(128) << 10;

void recordKept(std::vector<RowRun>& runs, int first, int last) {
    if (first >= last) return;
    if (!runs.empty() && runs.back().last == first) runs.back().last = last;
    else runs.push_back({first, last});
}

}  // namespace

StripWriter::StripWriter(Strip& strip, int width, int rows, int tag) : strip_(strip), tag_(tag) {
    assert(rows >= 0 && tag >= 0);
    strip_.bitmap = imaging::Bitmap::uninitialised(width, rows);
    strip_.top = strip_.cut = 0;
    strip_.keptRuns.clear();
}

void StripWriter::prepareRows(int end) {
    if (end <= ready_) return;
    const std::size_t rowBytes = sizeof(std::uint64_t) * std::size_t(strip_.bitmap.wordsPerRow());
    if (rowBytes == 0) return;
    const int stretch = int(std::max<std::size_t>(1, kReadyBytes / rowBytes));
    const int upTo = std::min(strip_.bitmap.height(), std::max(end, ready_ + stretch));
    base::populateForWriting(strip_.bitmap.row(ready_), rowBytes * std::size_t(upTo - ready_));
    ready_ = upTo;
}

void StripWriter::keepBlank(int n) {
    const std::size_t wpr = std::size_t(strip_.bitmap.wordsPerRow());
    prepareRows(kept_ + n);
    if (n > 0 && wpr > 0) std::memset(strip_.bitmap.row(kept_), 0, sizeof(std::uint64_t) * wpr * std::size_t(n));
    recordKept(strip_.keptRuns, seen_ - n, seen_);
    kept_ += n;
}

void StripWriter::append(const imaging::Bitmap& frame) {
    assert(frame.width() == strip_.bitmap.width());
    assert(seen_ + frame.height() <= strip_.bitmap.height());
    const std::size_t wpr = std::size_t(frame.wordsPerRow());
    const int h = frame.height();
    int y = 0;
    while (y < h) {
        if (imaging::allZero(frame.row(y), wpr)) {
            ++blank_;
            ++seen_;
            ++y;
            continue;
        }
        keepBlank(std::min(blank_, tag_));
        blank_ = 0;
        // The run of rows with ink, copied in one move.
        const int first = y;
        while (y < h && !imaging::allZero(frame.row(y), wpr)) ++y;
        const int n = y - first;
        prepareRows(kept_ + n);
        if (wpr > 0) std::memcpy(strip_.bitmap.row(kept_), frame.row(first), sizeof(std::uint64_t) * wpr * std::size_t(n));
        recordKept(strip_.keptRuns, seen_, seen_ + n);
        seen_ += n;
        kept_ += n;
    }
}

void StripWriter::close() {
    keepBlank(std::min(blank_, tag_ + 1));
    blank_ = 0;
    strip_.originalHeight = seen_;
    strip_.bitmap.keepTopRows(kept_);
}

}  // namespace quillet::layout
