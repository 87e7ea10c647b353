#include "layout/column_placer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "layout/rounding.h"

namespace quillet::layout {

using imaging::Bitmap;

int cutOffset(const CompositionSettings& s, const Strip& strip, int pieceHeight) {
    if (strip.height() == pieceHeight) return 0;
    if (s.rowFormat() && s.bi == 0) return 0;
    const int c = scanBlankUp(strip, pieceHeight);
    // The walk ends at row 1 without telling a match from none: look.
    if (pieceHeight > 1 && c == 1 - pieceHeight && !strip.rowBlank(1)) return 0;
    return c;
}

namespace {

// The rows the next piece must not repeat, after a piece of height s cut at c.
int rowsToRemove(const CompositionSettings& s, const Strip& strip, int pieceHeight, int c) {
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

}  // namespace

int placePages(const CompositionSettings& s, std::vector<Strip>& strips, CompositionStatus& status,
               const PageDone& done) {
    if (strips.empty()) return 0;
    const bool row = s.rowFormat();
    const analysis::PageTable& table = *s.pages;

    std::int64_t total = 0;
    for (const Strip& st : strips) total += st.height();
    if (total <= 0) total = 1;

    Strip strip = std::move(strips.front());
    strips.front() = Strip();
    std::size_t next = 1;
    std::int64_t R = total - strip.height();

    const int nominal = row ? table.LongestHeight + s.ti + s.bi : s.layout.CLP;
    // The strip is topped up from the following strips whenever it holds no
    // more than one piece, so that a piece is never shorter than the column
    // while content remains (strips may be shorter than a column, and a
    // piece may take a strip's last rows).
    auto topUp = [&] {
        while (next < strips.size() && strip.height() <= nominal) {
            strip.append(strips[next]);
            R -= strips[next].height();
            strips[next] = Strip();
            ++next;
        }
    };
    topUp();
    int sh = std::max(1, std::min(nominal, strip.height()));

    const int frameW = strip.width();
    int p = frameW;
    int k = 0;
    int m = 0;

    // Every external page of a run is equally wide, so that all print at one
    // scale: the page area takes the widest piece of the run (a frame,
    // LargestWidth + li + ri) when that is wider than its own width.
    const int areaWidth = std::max(s.geometry.pageAreaWidth, frameW);
    Bitmap page(areaWidth + s.geometry.G + s.geometry.H, s.geometry.targetHeight + s.geometry.E + s.geometry.F);
    int areaHeight = 0;
    int bandY = 0;

    while (!strip.empty()) {
        // One band.
        areaHeight += sh;
        int x = 0;
        for (;;) {
            if (row) {
                ++k;
                if (!s.layout.fixedWidth) p = k <= s.N ? table.croppedWidth(k) + s.li + s.ri : frameW;
            }
            const bool full = areaWidth < x + p || (row && k > s.N);
            if (full && x > 0) {
                if (row) --k;
                break;
            }

            const int c = cutOffset(s, strip, sh);
            const int pieceRows = c < 0 ? sh + c + 1 : sh;
            page.blit(s.geometry.G + x, s.geometry.E + bandY, strip.bitmap, 0, strip.top, p, pieceRows);
            x += p;

            strip.removeTop(rowsToRemove(s, strip, sh, c));
            topUp();
            if (!strip.empty()) sh = std::min(sh, strip.height());

            const double left = double(strip.height() + R) * 100.0 / double(total);
            status.say("Final layout processing . . .  " +
                       std::to_string(100 - halfUp(left)) + "%");
            status.front();

            if (!(areaWidth >= x + p && (!row || k <= s.N) && !strip.empty())) break;
        }
        if (areaHeight != s.geometry.targetHeight && !strip.empty() && strip.height() >= sh) {
            bandY += sh;
            continue;
        }
        ++m;
        done(page, m);
        if (strip.empty()) break;
        // The next page reuses the store when its size is unchanged.
        if (page.width() == areaWidth + s.geometry.G + s.geometry.H && page.height() == s.geometry.targetHeight + s.geometry.E + s.geometry.F) page.clear();
        else page = Bitmap(areaWidth + s.geometry.G + s.geometry.H, s.geometry.targetHeight + s.geometry.E + s.geometry.F);
        areaHeight = 0;
        bandY = 0;
    }
    strips.clear();
    return m;
}

}  // namespace quillet::layout
