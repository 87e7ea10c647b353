#include "layout/column_placer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/rounding.h"
#include "layout/strip_chain.h"

namespace quillet::layout {

using base::halfUp;
using imaging::Bitmap;

namespace {

// The rows the next piece must not repeat, after a piece of height s cut at c.
int rowsToRemove(const CompositionSettings& s, const StripChain& strip, int pieceHeight, int c) {
    if (c < 0) return pieceHeight + c + 1;
    if (s.compress && s.factorDiffersFromOne && strip.height() > pieceHeight) {
        // Skip the blank rows after the cut too: up to the first row with ink
        // at or below row s, or everything when none follows.
        const int off = scanInkDown(strip, pieceHeight);
        const int r = pieceHeight + off;
        return strip.rowBlank(r) ? strip.height() : r;
    }
    return pieceHeight;
}

// The placing phase's state: the strip being cut (topped up from the
// strips that follow), the piece size, the Row format page counter and the
// external page being filled, band by band.
class PagePlacer {
public:
    PagePlacer(const CompositionSettings& s, std::vector<Strip>& strips, CompositionStatus& status,
               const PageDone& done)
        : s_(s), strips_(strips), status_(status), done_(done), row_(s.rowFormat()),
          nominal_(row_ ? s.pages->LongestHeight + s.ti + s.bi : s.layout.CLP) {}

    // Places every strip; returns the number of external pages.
    int run() {
        if (strips_.empty()) return 0;
        for (const Strip& st : strips_) total_ += st.height();
        if (total_ <= 0) total_ = 1;
        strip_.append(std::move(strips_.front()));
        strips_.front() = Strip();
        remaining_ = total_ - strip_.height();
        topUp();
        pieceHeight_ = std::max(1, std::min(nominal_, strip_.height()));
        frameWidth_ = pieceWidth_ = strip_.width();
        // Every external page of a run is equally wide, so that all print at
        // one scale: the page area takes the widest piece of the run (a
        // frame, LargestWidth + li + ri) when that is wider than its own width.
        areaWidth_ = std::max(s_.geometry.pageAreaWidth, frameWidth_);
        page_ = Bitmap(pageWidth(), pageHeight());

        while (!strip_.empty()) {
            placeBand();
            if (areaHeight_ != s_.geometry.targetHeight && !strip_.empty() && strip_.height() >= pieceHeight_) {
                bandY_ += pieceHeight_;
                continue;
            }
            done_(page_, ++pages_);
            if (strip_.empty()) break;
            startPage();
        }
        strips_.clear();
        return pages_;
    }

private:
    int pageWidth() const { return areaWidth_ + s_.geometry.G + s_.geometry.H; }
    int pageHeight() const { return s_.geometry.targetHeight + s_.geometry.E + s_.geometry.F; }

    // The strip is topped up from the following strips whenever it holds no
    // more than one piece, so that a piece is never shorter than the column
    // while content remains (strips may be shorter than a column, and a
    // piece may take a strip's last rows).
    void topUp() {
        while (next_ < strips_.size() && strip_.height() <= nominal_) {
            remaining_ -= strips_[next_].height();
            strip_.append(std::move(strips_[next_]));
            strips_[next_] = Strip();
            ++next_;
        }
    }

    // One band: pieces left to right while they fit.
    void placeBand() {
        areaHeight_ += pieceHeight_;
        int x = 0;
        for (;;) {
            if (row_) {
                ++slot_;
                if (!s_.layout.fixedWidth)
                    pieceWidth_ = slot_ <= s_.N ? s_.pages->croppedWidth(slot_) + s_.li + s_.ri : frameWidth_;
            }
            const bool full = areaWidth_ < x + pieceWidth_ || (row_ && slot_ > s_.N);
            if (full && x > 0) {
                if (row_) --slot_;  // that page starts the next band or page
                return;
            }
            placePiece(x);
            x += pieceWidth_;
            reportProgress();
            if (areaWidth_ < x + pieceWidth_ || (row_ && slot_ > s_.N) || strip_.empty()) return;
        }
    }

    // Cuts the next piece off the strip into the page area at (x, band y).
    void placePiece(int x) {
        const int c = cutOffset(s_, strip_, pieceHeight_);
        const int rows = c < 0 ? pieceHeight_ + c + 1 : pieceHeight_;
        strip_.copyTop(page_, s_.geometry.G + x, s_.geometry.E + bandY_, pieceWidth_, rows);
        strip_.removeTop(rowsToRemove(s_, strip_, pieceHeight_, c));
        topUp();
        if (!strip_.empty()) pieceHeight_ = std::min(pieceHeight_, strip_.height());
    }

    void reportProgress() {
        const double left = double(strip_.height() + remaining_) * 100.0 / double(total_);
        status_.say("Final layout processing . . .  " + std::to_string(100 - halfUp(left)) + "%");
        status_.front();
    }

    // A new, white page area; the store is reused when its size is unchanged.
    void startPage() {
        if (page_.width() == pageWidth() && page_.height() == pageHeight()) page_.clear();
        else page_ = Bitmap(pageWidth(), pageHeight());
        areaHeight_ = 0;
        bandY_ = 0;
    }

    const CompositionSettings& s_;
    std::vector<Strip>& strips_;
    CompositionStatus& status_;
    const PageDone& done_;
    const bool row_;
    const int nominal_;           // the piece height while the strip lasts
    std::int64_t total_ = 0;      // rows of all strips, for the progress text
    std::int64_t remaining_ = 0;  // R: rows of the strips not yet appended
    StripChain strip_;
    std::size_t next_ = 1;        // the next strip to append
    int pieceHeight_ = 1;         // s
    int pieceWidth_ = 0;          // p
    int frameWidth_ = 0;
    int slot_ = 0;                // k, the Row format page counter
    int pages_ = 0;               // m
    int areaWidth_ = 0;
    int areaHeight_ = 0;
    int bandY_ = 0;
    Bitmap page_;
};

}  // namespace

int placePages(const CompositionSettings& s, std::vector<Strip>& strips, CompositionStatus& status,
               const PageDone& done) {
    return PagePlacer(s, strips, status, done).run();
}

}  // namespace quillet::layout
