// The line scan against a plain pixel-by-pixel walk, and its edge rules.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/scan_lines.h"
#include "support/bitmap_text.h"

namespace quillet::analysis {
namespace {

using imaging::Bitmap;

// The walk as defined, one pixel read at a time through isBlack.
int referenceScan(ScanMode mode, const Bitmap& b, ScanDirection dir, int start, int first,
                  int last) {
    const bool rows = dir == ScanDirection::Down || dir == ScanDirection::Up;
    const int extent = rows ? b.height() : b.width();
    const int step = (dir == ScanDirection::Down || dir == ScanDirection::Right) ? 1 : -1;
    for (int offset = 0;; offset += step) {
        const int line = start + offset;
        bool match = mode == ScanMode::FindBlank;
        for (int p = first; p <= last; ++p) {
            const bool black = rows ? b.isBlack(p, line) : b.isBlack(line, p);
            if (black) {
                match = mode == ScanMode::FindInk;
                break;
            }
        }
        if (match) return offset;
        const int next = line + step;
        if (step > 0 && next == extent) return offset;
        if (step < 0 && next <= 0) return offset;
    }
}

const char* name(ScanDirection d) {
    switch (d) {
        case ScanDirection::Down: return "Down";
        case ScanDirection::Up: return "Up";
        case ScanDirection::Right: return "Right";
        case ScanDirection::Left: return "Left";
    }
    return "?";
}

// Random pages of every density (mostly blank ones make long walks), with
// runs of all-blank and all-ink lines, widths around the word boundaries.
Bitmap randomBitmap(std::mt19937& rng, int w, int h) {
    Bitmap b(w, h);
    std::uniform_real_distribution<double> unit(0, 1);
    const double density = std::vector<double>{0.0005, 0.003, 0.02, 0.2, 0.7}[rng() % 5];
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (unit(rng) < density) b.setBlack(x, y, true);
    // A few solid and a few blank bands in either direction.
    for (int i = 0; i < 2; ++i) {
        const int x0 = int(rng() % unsigned(w)), y0 = int(rng() % unsigned(h));
        if (rng() % 2)
            for (int x = 0; x < w; ++x) b.setBlack(x, y0, rng() % 3 == 0);
        else
            for (int y = 0; y < h; ++y) b.setBlack(x0, y, rng() % 3 != 0);
    }
    return b;
}

TEST(ScanLines, MatchesPixelWalkOnRandomBitmaps) {
    std::mt19937 rng(12345);
    const std::vector<int> widths{1, 2, 7, 63, 64, 65, 100, 127, 128, 129, 190, 257};
    const ScanDirection dirs[] = {ScanDirection::Down, ScanDirection::Up, ScanDirection::Right,
                                  ScanDirection::Left};
    const ScanMode modes[] = {ScanMode::FindInk, ScanMode::FindBlank};
    int compared = 0;
    for (int round = 0; round < 240; ++round) {
        const int w = widths[std::size_t(round) % widths.size()];
        const int h = 1 + int(rng() % 90);
        const Bitmap b = randomBitmap(rng, w, h);
        for (int q = 0; q < 40; ++q) {
            for (ScanDirection dir : dirs) {
                const bool rows = dir == ScanDirection::Down || dir == ScanDirection::Up;
                const int extent = rows ? h : w;
                const int cross = rows ? w : h;
                // Start lines near the edges are the interesting ones.
                int start = int(rng() % unsigned(extent));
                if (q % 5 == 0) start = 0;
                if (q % 5 == 1) start = extent - 1;
                int first = int(rng() % unsigned(cross));
                int last = first + int(rng() % unsigned(cross - first));
                if (q % 4 == 0) first = 0, last = cross - 1;
                for (ScanMode mode : modes) {
                    const int want = referenceScan(mode, b, dir, start, first, last);
                    ASSERT_EQ(ScanLines(mode, b, dir, start, first, last), want)
                        << name(dir) << " mode " << int(mode) << " w=" << w << " h=" << h
                        << " start=" << start << " range=" << first << ".." << last;
                    if (rows) {
                        const RowScanner r(b, first, last);
                        ASSERT_EQ(r.scan(mode, dir, start), want) << "row scanner " << name(dir);
                    } else {
                        const ColumnProjection p(b, first, last);
                        ASSERT_EQ(p.scan(mode, dir, start), want) << "projection " << name(dir);
                    }
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 70000);
}

TEST(ScanLines, UpFromRowTenStopsAtRowOne) {
    Bitmap b(30, 20);
    for (int x = 0; x < 30; ++x) b.setBlack(x, 0, true);
    EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Up, 10, 0, 29), -9);
    // Row 0 is examined when the walk starts there.
    EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Up, 0, 0, 29), 0);
}

TEST(ScanLines, DownFromRowZeroReachesInkInLastRow) {
    for (int h : {1, 2, 65, 300}) {
        Bitmap b(70, h);
        b.setBlack(69, h - 1, true);
        EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Down, 0, 0, 69), h - 1) << h;
        // The same answer when the last row is blank: the edge looks like a match.
        b.setBlack(69, h - 1, false);
        EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Down, 0, 0, 69), h - 1) << h;
    }
}

TEST(ScanLines, ColumnWalksNeverExamineColumnZeroUnlessStartingThere) {
    const Bitmap b = test::bitmapFromRows({"10000000",
                                           "10000000"});
    EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Left, 5, 0, 1), -4);
    EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Left, 0, 0, 1), 0);
    EXPECT_EQ(ScanLines(ScanMode::FindBlank, b, ScanDirection::Right, 0, 0, 1), 1);
    // The cross range limits what counts: rows 1..1 only.
    const Bitmap c = test::bitmapFromRows({"00010000",
                                           "00000000"});
    EXPECT_EQ(ScanLines(ScanMode::FindInk, c, ScanDirection::Right, 0, 1, 1), 7);
    EXPECT_EQ(ScanLines(ScanMode::FindInk, c, ScanDirection::Right, 0, 0, 1), 3);
}

TEST(ScanLines, FindBlankStopsAtFirstBlackInRangeOnly) {
    // Ink outside the cross range does not stop a blank search.
    const Bitmap b = test::bitmapFromRows({"1000000000000001",
                                           "0000000010000000",
                                           "1000000000000001"});
    EXPECT_EQ(ScanLines(ScanMode::FindBlank, b, ScanDirection::Down, 0, 1, 14), 0);
    EXPECT_EQ(ScanLines(ScanMode::FindBlank, b, ScanDirection::Down, 1, 1, 14), 1);
    EXPECT_EQ(ScanLines(ScanMode::FindBlank, b, ScanDirection::Up, 2, 0, 0), -1);
}

TEST(ScanLines, WideRowsAreTestedAcrossWordBoundaries) {
    // Ink only at the last column of a 1000-pixel row and at column 64.
    Bitmap b(1000, 4);
    b.setBlack(999, 2, true);
    b.setBlack(64, 3, true);
    EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Down, 0, 0, 999), 2);
    EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Down, 0, 0, 998), 3);
    EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Down, 0, 65, 998), 3);  // edge
    EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Right, 0, 0, 3), 64);
    EXPECT_EQ(ScanLines(ScanMode::FindInk, b, ScanDirection::Left, 998, 0, 3), 64 - 998);
    EXPECT_EQ(ScanLines(ScanMode::FindBlank, b, ScanDirection::Right, 999, 2, 2), 0);
}

}  // namespace
}  // namespace quillet::analysis
