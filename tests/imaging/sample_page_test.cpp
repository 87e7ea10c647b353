// Generated sample pages: what tests of other parts rely on them to hold.

#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/bit_rows.h"
#include "imaging/sample_page.h"
#include "support/bitmap_text.h"

namespace quillet::imaging {
namespace {

bool inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool disjoint(const Rect& a, const Rect& b) {
    return a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
}

std::int64_t inkIn(const Bitmap& b, const Rect& r) {
    std::int64_t n = 0;
    for (int y = r.top; y < r.bottom; ++y) n += countInk(b.row(y), r.left, r.right);
    return n;
}

TEST(SamplePage, A4SizesAtCommonResolutions) {
    EXPECT_EQ(a4Pixels(300), (Size{2480, 3508}));
    EXPECT_EQ(a4Pixels(200), (Size{1654, 2339}));
    EXPECT_EQ(a4Pixels(600), (Size{4961, 7016}));
}

TEST(SamplePage, SameSeedSamePageOtherSeedOtherPage) {
    SamplePageOptions o;
    o.seed = 5;
    const Bitmap a = makeSamplePage(o), b = makeSamplePage(o);
    EXPECT_TRUE(test::bitmapsEqual(a, b));
    o.seed = 6;
    const SamplePage c = generateSamplePage(o);
    EXPECT_FALSE(test::bitmapsEqual(a, c.bitmap));
    o.seed = 5;
    EXPECT_NE(generateSamplePage(o).textBox, c.textBox) << "margins differ page to page";
}

class SamplePageLayout : public ::testing::TestWithParam<int> {};

TEST_P(SamplePageLayout, LooksLikeAScannedTextPage) {
    SamplePageOptions o;
    o.seed = std::uint64_t(GetParam());
    o.wideSpeck = GetParam() % 2 == 0;
    const SamplePage p = generateSamplePage(o);
    const Bitmap& b = p.bitmap;
    ASSERT_EQ(b.width(), 2480);
    ASSERT_EQ(b.height(), 3508);
    const Rect page{0, 0, b.width(), b.height()};

    // Margins: the text sits well inside the page.
    const Rect& t = p.textBox;
    EXPECT_GE(t.left, 100);
    EXPECT_GE(t.top, 100);
    EXPECT_LE(t.right, b.width() - 100);
    EXPECT_LE(t.bottom, b.height() - 100);

    // Lines: many, about 50 pixels apart (more across blank lines), with
    // blank rows between them, and of varying length.
    ASSERT_GE(p.lines.size(), 25u);
    int shortLines = 0;
    for (std::size_t i = 0; i < p.lines.size(); ++i) {
        const Rect& l = p.lines[i];
        EXPECT_TRUE(inside(l, t));
        EXPECT_GT(inkIn(b, l), std::int64_t(l.width()) * l.height() / 20) << "line " << i;
        if (l.width() < t.width() * 3 / 4) ++shortLines;
        if (i == 0) continue;
        const int pitch = l.top - p.lines[i - 1].top;
        EXPECT_GE(pitch, 45) << "line " << i;
        EXPECT_GE(l.top, p.lines[i - 1].bottom) << "blank rows between lines " << i - 1 << " and " << i;
        EXPECT_EQ(inkIn(b, {t.left, p.lines[i - 1].bottom, t.right, l.top}), 0);
    }
    EXPECT_GE(shortLines, 2) << "paragraph ends";
    const auto gaps = std::count_if(p.lines.begin() + 1, p.lines.end(), [&](const Rect& l) {
        return l.top - (&l)[-1].top >= 90;
    });
    EXPECT_GE(gaps, 2) << "blank lines between paragraphs";

    // Text height: the x-height band of a body line is about 25 pixels and
    // the whole line with ascenders and descenders under the pitch.
    for (std::size_t i = 0; i < p.lines.size(); ++i)
        if (!p.headings[i]) {
            EXPECT_LE(p.lines[i].height(), 50) << "line " << i;
        }

    // Specks: a few, each under 6 pixels, in the margins; ink outside the
    // text box is nothing but specks.
    EXPECT_GE(p.specks.size(), 3u);
    std::int64_t speckInk = 0;
    for (const Rect& s : p.specks) {
        EXPECT_LT(s.width(), 6);
        EXPECT_LT(s.height(), 6);
        EXPECT_TRUE(inside(s, page));
        EXPECT_TRUE(disjoint(s, t));
    }
    std::int64_t outside = countInk(b) - inkIn(b, t);
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); x += 1) {
            if (x == t.left && y >= t.top && y < t.bottom) x = t.right;  // skip the text box
            if (x >= b.width()) break;
            if (!b.isBlack(x, y)) continue;
            bool inSpeck = false;
            for (const Rect& s : p.specks) inSpeck = inSpeck || (x >= s.left && x < s.right && y >= s.top && y < s.bottom);
            const Rect& w = p.wideSpeck;
            inSpeck = inSpeck || (x >= w.left && x < w.right && y >= w.top && y < w.bottom);
            ASSERT_TRUE(inSpeck) << "stray ink at " << x << ", " << y;
            ++speckInk;
        }
    EXPECT_EQ(speckInk, outside);
    if (o.wideSpeck) {
        EXPECT_GE(p.wideSpeck.width(), 30);
        EXPECT_TRUE(disjoint(p.wideSpeck, t));
        EXPECT_EQ(inkIn(b, p.wideSpeck), std::int64_t(p.wideSpeck.width()) * p.wideSpeck.height());
    } else {
        EXPECT_TRUE(p.wideSpeck.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SamplePageLayout, ::testing::Values(1, 2, 3, 17, 300));

TEST(SamplePage, ScalesWithResolution) {
    SamplePageOptions o;
    o.dpi = 150;
    const SamplePage p = generateSamplePage(o);
    EXPECT_EQ(p.bitmap.width(), 1240);
    EXPECT_GE(p.lines.size(), 25u);
    for (std::size_t i = 0; i < p.lines.size(); ++i)
        if (!p.headings[i]) {
            EXPECT_LE(p.lines[i].height(), 25);
        }
}

}  // namespace
}  // namespace quillet::imaging
