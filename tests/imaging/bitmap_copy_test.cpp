// Rectangle copies, stretching and the AND mode, checked against a plain
// per-pixel model of the same rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "base/scope_guard.h"
#include "imaging/bit_rows.h"
#include "imaging/bitmap.h"
#include "imaging/bitmap_copy.h"
#include "support/bitmap_text.h"

namespace quillet::imaging {
namespace {

using test::bitmapFromRows;
using test::bitmapsEqual;

// Per-pixel model: destination index i of d takes source [i*s/d, (i+1)*s/d)
// (at least one pixel); black wins over the range; pixels outside either
// bitmap are skipped.
void referenceCopy(Bitmap& dst, const Rect& dr, const Bitmap& src, const Rect& sr, CopyMode mode) {
    const Bitmap s = src;  // same-object copies read the original
    const std::int64_t dw = dr.width(), dh = dr.height(), sw = sr.width(), sh = sr.height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    auto range = [](std::int64_t i, std::int64_t n, std::int64_t d) {
        const std::int64_t a = i * n / d;
        return std::pair{a, std::max((i + 1) * n / d, a + 1)};
    };
    for (std::int64_t j = 0; j < dh; ++j) {
        const std::int64_t y = dr.top + j;
        if (y < 0 || y >= dst.height()) continue;
        auto [ya, yb] = range(j, sh, dh);
        ya = std::max<std::int64_t>(ya + sr.top, 0);
        yb = std::min<std::int64_t>(yb + sr.top, s.height());
        if (ya >= yb) continue;
        for (std::int64_t i = 0; i < dw; ++i) {
            const std::int64_t x = dr.left + i;
            if (x < 0 || x >= dst.width()) continue;
            auto [xa, xb] = range(i, sw, dw);
            xa = std::max<std::int64_t>(xa + sr.left, 0);
            xb = std::min<std::int64_t>(xb + sr.left, s.width());
            if (xa >= xb) continue;
            bool ink = false;
            for (std::int64_t yy = ya; yy < yb; ++yy)
                for (std::int64_t xx = xa; xx < xb; ++xx) ink = ink || s.isBlack(int(xx), int(yy));
            if (mode == CopyMode::And)
                ink = ink || dst.isBlack(int(x), int(y));
            dst.setBlack(int(x), int(y), ink);
        }
    }
}

Bitmap randomBitmap(std::mt19937& rng, int w, int h, int inkPercent) {
    Bitmap b(w, h);
    std::uniform_int_distribution<int> p(0, 99);
    for (int y = 0; y < h; ++y) {
        if (p(rng) < 30) continue;  // blank rows, as between text lines
        for (int x = 0; x < w; ++x)
            if (p(rng) < inkPercent) b.setBlack(x, y, true);
    }
    return b;
}

bool paddingClear(const Bitmap& b) {
    if (b.width() % 64 == 0) return true;
    const std::uint64_t pad = ~leadingMask(b.width() % 64);
    for (int y = 0; y < b.height(); ++y)
        if (b.row(y)[b.wordsPerRow() - 1] & pad) return false;
    return true;
}

TEST(BitmapCopy, MatchesPerPixelModelOnRandomRectangles) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> size(1, 200), coord(-40, 220), pct(0, 30);
    for (int round = 0; round < 400; ++round) {
        const Bitmap src = randomBitmap(rng, size(rng), size(rng) / 2 + 1, pct(rng));
        Bitmap dst = randomBitmap(rng, size(rng), size(rng) / 2 + 1, 10);
        auto rect = [&](int maxW, int maxH) {
            const int l = coord(rng), t = coord(rng) / 2;
            std::uniform_int_distribution<int> ww(1, maxW), hh(1, maxH);
            return Rect{l, t, l + ww(rng), t + hh(rng)};
        };
        const Rect sr = rect(200, 100);
        // Mix of 1:1, halving, odd ratios and enlargements.
        Rect dr;
        switch (round % 4) {
            case 0: dr = {coord(rng), coord(rng) / 2, 0, 0}; dr.right = dr.left + sr.width(); dr.bottom = dr.top + sr.height(); break;
            case 1: dr = {coord(rng), coord(rng) / 2, 0, 0}; dr.right = dr.left + std::max(1, sr.width() / 2); dr.bottom = dr.top + std::max(1, sr.height() / 2); break;
            default: dr = rect(250, 120); break;
        }
        const CopyMode mode = round % 3 == 0 ? CopyMode::And : CopyMode::Copy;
        Bitmap expected = dst;
        referenceCopy(expected, dr, src, sr, mode);
        dst.copyRect(dr, src, sr, mode);
        ASSERT_TRUE(bitmapsEqual(dst, expected))
            << "round " << round << " src " << src.width() << "x" << src.height() << " [" << sr.left << ","
            << sr.top << "," << sr.right << "," << sr.bottom << ") dst " << dst.width() << "x" << dst.height()
            << " [" << dr.left << "," << dr.top << "," << dr.right << "," << dr.bottom << ")";
        ASSERT_TRUE(paddingClear(dst)) << "round " << round;
    }
}

// Enlarging along one or both axes: ratios near 1 (a page stretched to a
// slightly larger width), whole factors (the lookup-table path, including
// clipping that starts inside a repeat group), and odd ratios; each at
// offsets that cross word edges, clipped on every side, in both modes.
struct StretchCase {
    int sw, sh, dw, dh;
};
class StretchingMatchesModel : public ::testing::TestWithParam<StretchCase> {};

TEST_P(StretchingMatchesModel, AtOffsetsWithClippingInBothModes) {
    const auto [sw, sh, dw, dh] = GetParam();
    std::mt19937 rng(std::uint32_t(sw * 7919 + dw * 31 + sh + dh));
    const Bitmap src = randomBitmap(rng, sw + 9, sh + 3, 35);
    // dx/dy place the rectangle (negative: clipped at the left/top); the
    // destination is narrower than dx + dw in some rounds (clipped right).
    struct Placement {
        int dx, dy, sx, sy, cutRight, cutBottom;
    };
    const Placement placements[] = {
        {0, 0, 0, 0, 0, 0},     {3, 1, 5, 1, 0, 0},      {61, 2, 63, 0, 0, 0},     {-7, 0, 2, 2, 0, 0},
        {-1, -1, 0, 0, 0, 0},   {5, 0, -3, 0, 0, 0},     {0, 0, 7, 0, 13, 1},      {-13, -2, -1, -1, 70, 2},
        {1, 0, 9, 3, 1, 0},
    };
    const base::ScopeExit restore([] { allowBitDeposit(true); });
    for (const bool deposit : {true, false}) {
        allowBitDeposit(deposit);
        for (const Placement& p : placements)
            for (const CopyMode mode : {CopyMode::Copy, CopyMode::And}) {
                const int width = std::max(1, p.dx + dw + 4 - p.cutRight);
                const int height = std::max(1, p.dy + dh + 2 - p.cutBottom);
                Bitmap dst = randomBitmap(rng, width, height, 20);
                Bitmap expected = dst;
                const Rect dr{p.dx, p.dy, p.dx + dw, p.dy + dh};
                const Rect sr{p.sx, p.sy, p.sx + sw, p.sy + sh};
                referenceCopy(expected, dr, src, sr, mode);
                dst.copyRect(dr, src, sr, mode);
                ASSERT_TRUE(bitmapsEqual(dst, expected))
                    << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << p.dx << "," << p.dy << " from " << p.sx
                    << "," << p.sy << " cut " << p.cutRight << "," << p.cutBottom
                    << (mode == CopyMode::And ? " AND" : " copy") << (deposit ? "" : ", mask walk");
                ASSERT_TRUE(paddingClear(dst));
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ratios, StretchingMatchesModel,
    ::testing::Values(StretchCase{2000, 3, 2100, 3},    // Stretch to Largest Width
                      StretchCase{2300, 2, 2480, 5},    // wider and a little taller
                      StretchCase{97, 9, 101, 9},       // near 1, odd sizes
                      StretchCase{64, 4, 65, 4},        // one repeat per row
                      StretchCase{300, 5, 311, 6},
                      StretchCase{50, 4, 100, 8},       // 2x
                      StretchCase{40, 3, 120, 9},       // 3x
                      StretchCase{33, 3, 165, 3},       // 5x
                      StretchCase{17, 2, 136, 2},       // 8x
                      StretchCase{13, 2, 130, 3},       // 10x: no table
                      StretchCase{30, 6, 70, 14},       // 7/3
                      StretchCase{70, 5, 131, 5},       // just under 2x
                      StretchCase{1, 3, 70, 3},         // one source column
                      StretchCase{140, 20, 200, 7},     // wider, shorter (rows ORed)
                      StretchCase{200, 7, 140, 20},     // narrower, taller (rows repeated)
                      StretchCase{150, 4, 150, 11}));   // 1:1 columns, rows repeated

// Rectangles spanning nearly the whole int range (the mapping's products
// pass 64 bits): the pixels inside the destination follow the formula.
TEST(BitmapCopy, RectanglesAsWideAsTheIntRangeMapLikeTheFormula) {
    std::mt19937 rng(77);
    const Bitmap src = randomBitmap(rng, 1000, 3, 40);
    // Enlarged about twice onto source columns 400..450; nearly 1:1 onto
    // columns 600..700.
    for (const Rect sr : {Rect{-(1 << 30) + 400, 0, (1 << 30) + 400, 3}, Rect{INT32_MIN + 600, 0, INT32_MAX - 600, 3}}) {
        const Rect dr{INT32_MIN + 1, 0, INT32_MAX, 3};
        Bitmap dst(100, 3);
        dst.copyRect(dr, src, sr);
        __extension__ typedef __int128 Wide;
        const Wide dw = Wide(dr.right) - dr.left, sw = Wide(sr.right) - sr.left;
        for (int x = 0; x < 100; ++x) {
            const Wide i = Wide(x) - dr.left;
            const Wide a = i * sw / dw, b = std::max((i + 1) * sw / dw, a + 1);
            bool ink = false;
            for (Wide xx = std::max<Wide>(a + sr.left, 0); xx < std::min<Wide>(b + sr.left, 1000); ++xx)
                ink = ink || src.isBlack(int(xx), 1);
            ASSERT_EQ(dst.isBlack(x, 1), ink) << "x " << x << " source from " << std::int64_t(sr.left);
        }
    }
}

TEST(BitmapCopy, EnlargingWithinOneBitmapReadsTheOriginal) {
    std::mt19937 rng(11);
    Bitmap b = randomBitmap(rng, 260, 50, 40);
    Bitmap expected = b;
    referenceCopy(expected, {3, 2, 213, 45}, b, {0, 0, 200, 30}, CopyMode::Copy);
    b.copyRect({3, 2, 213, 45}, b, {0, 0, 200, 30});
    EXPECT_TRUE(bitmapsEqual(b, expected));
}

TEST(BitmapCopy, BlitMatchesModelAtEveryBitOffset) {
    std::mt19937 rng(7);
    const Bitmap src = randomBitmap(rng, 300, 6, 50);
    for (int sx = 0; sx < 70; sx += 3)
        for (int dx = -5; dx < 140; dx += 7)
            for (int w : {1, 63, 64, 65, 130}) {
                Bitmap dst = randomBitmap(rng, 260, 6, 50);
                Bitmap expected = dst;
                referenceCopy(expected, {dx, 1, dx + w, 6}, src, {sx, 0, sx + w, 5}, CopyMode::Copy);
                dst.blit(dx, 1, src, sx, 0, w, 5);
                ASSERT_TRUE(bitmapsEqual(dst, expected)) << "sx " << sx << " dx " << dx << " w " << w;
            }
}

TEST(BitmapCopy, CopyWithinOneBitmapReadsTheOriginal) {
    std::mt19937 rng(3);
    Bitmap b = randomBitmap(rng, 150, 40, 40);
    Bitmap expected = b;
    referenceCopy(expected, {5, 3, 105, 33}, b, {0, 0, 100, 30}, CopyMode::Copy);
    b.copyRect({5, 3, 105, 33}, b, {0, 0, 100, 30});
    EXPECT_TRUE(bitmapsEqual(b, expected));
}

// A thin line must survive any shrink, along either axis.
struct ShrinkCase {
    int from, to;
};
class ThinLinesSurviveShrinking : public ::testing::TestWithParam<ShrinkCase> {};

TEST_P(ThinLinesSurviveShrinking, EveryHorizontalAndVerticalLineStays) {
    const auto [from, to] = GetParam();
    // One-pixel lines every 5 pixels, at every phase against the ratio.
    Bitmap rows(37, from), cols(from, 37);
    std::vector<int> lines;
    for (int i = 2; i < from; i += 5) {
        lines.push_back(i);
        rows.fillRect({0, i, 37, i + 1}, kBlack);
        cols.fillRect({i, 0, i + 1, 37}, kBlack);
    }
    Bitmap rowsOut(37, to), colsOut(to, 37);
    rowsOut.copyRect({0, 0, 37, to}, rows, {0, 0, 37, from});
    colsOut.copyRect({0, 0, to, 37}, cols, {0, 0, from, 37});
    // Destination index d covers source [d*from/to, (d+1)*from/to).
    std::vector<bool> expectInk(std::size_t(to), false);
    for (int line : lines) {
        int d = 0;
        while (d + 1 < to && std::int64_t(d + 1) * from / to <= line) ++d;
        expectInk[std::size_t(d)] = true;
    }
    for (int d = 0; d < to; ++d) {
        EXPECT_EQ(rowsOut.isBlack(5, d), expectInk[std::size_t(d)]) << "row " << d << " of " << from << " -> " << to;
        EXPECT_EQ(colsOut.isBlack(d, 5), expectInk[std::size_t(d)]) << "column " << d << " of " << from << " -> " << to;
    }
    // Every line is somewhere: as many ink rows as distinct targets, at
    // least one per line that the shrink cannot merge with a neighbour.
    EXPECT_GE(std::count(expectInk.begin(), expectInk.end(), true),
              std::int64_t(lines.size()) * to / from - 1);
}

INSTANTIATE_TEST_SUITE_P(Ratios, ThinLinesSurviveShrinking,
                         ::testing::Values(ShrinkCase{700, 300}, ShrinkCase{3508, 1754}, ShrinkCase{1000, 999},
                                           ShrinkCase{2480, 1240}, ShrinkCase{500, 101}, ShrinkCase{640, 129}));

TEST(BitmapCopy, HalvingKeepsEveryOnePixelLineOfAPage) {
    // A4 at 300 dpi with one-pixel lines on odd rows/columns (the phase that a
    // dropping shrink would lose).
    Bitmap page(2480, 3508);
    for (int y = 1; y < 3508; y += 10) page.fillRect({0, y, 2480, y + 1}, kBlack);
    for (int x = 1; x < 2480; x += 10) page.fillRect({x, 0, x + 1, 3508}, kBlack);
    Bitmap half(1240, 1754);
    half.copyRect({0, 0, 1240, 1754}, page, {0, 0, 2480, 3508});
    for (int y = 1; y < 3508; y += 10) ASSERT_TRUE(half.isBlack(2, y / 2)) << y;
    for (int x = 1; x < 2480; x += 10) ASSERT_TRUE(half.isBlack(x / 2, 2)) << x;
    EXPECT_FALSE(half.isBlack(2, 2));
    EXPECT_FALSE(half.isBlack(1, 1));
}

TEST(BitmapCopy, EnlargingRepeatsPixels) {
    const Bitmap src = bitmapFromRows({"10",
                                       "01"});
    Bitmap dst(5, 3);
    dst.copyRect({0, 0, 5, 3}, src, {0, 0, 2, 2});
    // Columns 0..4 take source floor(i*2/5) = 0,0,0,1,1; rows 0,0,1.
    EXPECT_TRUE(bitmapsEqual(dst, bitmapFromRows({"11100",
                                                  "11100",
                                                  "00011"})));
}

TEST(BitmapCopy, AndModeKeepsWhiteOnlyWhereBothAreWhite) {
    Bitmap dst = bitmapFromRows({"1100"});
    const Bitmap src = bitmapFromRows({"1010"});
    dst.copyRect({0, 0, 4, 1}, src, {0, 0, 4, 1}, CopyMode::And);
    EXPECT_TRUE(bitmapsEqual(dst, bitmapFromRows({"1110"})));
    Bitmap plain = bitmapFromRows({"1100"});
    plain.copyRect({0, 0, 4, 1}, src, {0, 0, 4, 1});
    EXPECT_TRUE(bitmapsEqual(plain, src));
}

TEST(BitmapCopy, ColourSourceShrinkDropsRowsAndColumns) {
    Bitmap src(4, 4);
    src.setMonochrome(false);
    src.fillRect({1, 0, 2, 4}, Rgb{255, 0, 0});  // column 1 red: dropped
    src.fillRect({0, 2, 4, 3}, Rgb{0, 0, 255});  // row 2 blue: kept
    Bitmap dst(2, 2);
    dst.setMonochrome(false);
    dst.copyRect({0, 0, 2, 2}, src, {0, 0, 4, 4});
    EXPECT_EQ(dst.pixel(0, 0), kWhite);
    EXPECT_EQ(dst.pixel(1, 0), kWhite);
    EXPECT_EQ(dst.pixel(0, 1), (Rgb{0, 0, 255}));
    EXPECT_EQ(dst.pixel(1, 1), (Rgb{0, 0, 255}));
}

TEST(BitmapCopy, MonochromeSourceOntoColourIsStillBlackWins) {
    Bitmap src(4, 4);
    src.setBlack(3, 3, true);
    Bitmap dst(2, 2);
    dst.setMonochrome(false);
    dst.fillRect({0, 0, 2, 2}, Rgb{10, 200, 10});
    dst.copyRect({0, 0, 2, 2}, src, {0, 0, 4, 4});
    EXPECT_EQ(dst.pixel(1, 1), kBlack);
    EXPECT_EQ(dst.pixel(0, 0), kWhite);
}

}  // namespace
}  // namespace quillet::imaging
