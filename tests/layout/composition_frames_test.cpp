// Framing: strips closed after 15000 rows, the working page stretched and
// justified inside its frame (with clipping), internal footer and header.

#include <gtest/gtest.h>

#include "layout/frame_builder.h"
#include "support/bitmap_text.h"
#include "tests/layout/composition_rig.h"

namespace quillet::compositiontest {
namespace {

using imaging::Rect;
using layout::CompositionSettings;

// Settings over a hand-made table of pages (crop = whole page).
struct FrameRig {
    analysis::PageTable table;
    CompositionSettings s;
    std::vector<Bitmap> sources;
    FrameRig() {
        ensureGuiApplication();
        s.pages = &table;
        s.stretchWidth = false;
        s.layout.fixedWidth = true;
    }
    void add(const Bitmap& b) {
        sources.push_back(b);
        const int k = int(sources.size());
        table.CropTopLeft[k] = {0, 0};
        table.CropBottomRight[k] = {b.width() - 1, b.height() - 1};
        table.LargestWidth = std::max(table.LargestWidth, b.width());
        table.LongestHeight = std::max(table.LongestHeight, b.height());
        s.N = k;
        s.names.push_back("p" + std::to_string(k) + ".bmp");
    }
    Bitmap frame(int k) const { return layout::buildFrame(s, k, sources[std::size_t(k - 1)]); }
};

// Pixels [x0, x0 + w) x [y0, y0 + h) of a as a bitmap.
Bitmap region(const Bitmap& a, int x0, int y0, int w, int h) {
    Bitmap out(w, h);
    out.blit(0, 0, a, x0, y0, w, h);
    return out;
}

TEST(CompositionFrames, StripsCloseAfterExceeding15000Rows) {
    struct Case {
        int pageHeight, pages;
        std::vector<int> strips;
    };
    for (const Case& c : {Case{4000, 5, {16000, 4000}}, Case{5000, 3, {15000}}, Case{5000, 5, {20000, 5000}},
                          Case{15001, 2, {15001, 15001}}}) {
        FrameRig rig;
        for (int i = 0; i < c.pages; ++i) rig.add(Bitmap(10, c.pageHeight));
        app::MainForm form;
        testing::FakePlatform platform;
        std::vector<std::string> texts;
        form.Panel1.written.connect([&] { texts.push_back(form.Panel1.text()); });
        layout::CompositionStatus status(form, platform);
        int loads = 0;
        const auto strips = layout::buildStrips(
            rig.s, status, [&](const std::string&) { ++loads; return Bitmap(10, c.pageHeight); });
        std::vector<int> heights;
        for (const auto& st : strips) heights.push_back(st.height());
        EXPECT_EQ(heights, c.strips) << c.pageHeight << " x " << c.pages;
        EXPECT_EQ(loads, c.pages);
        ASSERT_EQ(int(texts.size()), c.pages + 1);
        EXPECT_EQ(texts[0], "Layout processing . . .  1/" + std::to_string(c.pages) + " (p1.bmp)");
        EXPECT_EQ(texts.back(), "");
    }
}

TEST(CompositionFrames, FramesAreStackedInOrderInsideTheStrip) {
    FrameRig rig;
    rig.add(makeTextPage({.width = 70, .height = 90}, 1));
    rig.add(makeTextPage({.width = 40, .height = 60}, 2));
    rig.s.ti = 2;
    rig.s.bi = 3;
    rig.s.li = 1;
    rig.s.ri = 4;
    app::MainForm form;
    testing::FakePlatform platform;
    layout::CompositionStatus status(form, platform);
    int next = 0;
    const auto strips =
        layout::buildStrips(rig.s, status, [&](const std::string&) { return rig.sources[std::size_t(next++)]; });
    ASSERT_EQ(strips.size(), 1u);
    const Bitmap& st = strips[0].bitmap;
    ASSERT_EQ(st.width(), 70 + 1 + 4);
    ASSERT_EQ(st.height(), 95 + 65);
    Bitmap expected(75, 160);
    expected.blit(1, 2, rig.sources[0], 0, 0, 70, 90);
    expected.blit(1, 95 + 2, rig.sources[1], 0, 0, 40, 60);
    EXPECT_BITMAPS_EQUAL(st, expected);
}

TEST(CompositionFrames, InternalFooterAndHeaderOnlyFromThreeMillimetresInHalfTheBorderInPoints) {
    for (const bool header : {false, true})
        for (const int mm : {2, 3}) {
            FrameRig rig;
            const Bitmap page = makeTextPage({.width = 300, .height = 100}, 3);
            rig.add(page);
            const int pageY = header ? 30 : 0, textY = header ? 0 : 100;
            (header ? rig.s.ti : rig.s.bi) = 30;
            (header ? rig.s.layout.topint : rig.s.layout.bottomint) = mm;
            layout::BorderTextSetting& text = header ? rig.s.inthead : rig.s.intfoot;
            text.text = "Chapter 4";
            const Bitmap frame = rig.frame(1);
            ASSERT_EQ(frame.height(), 130);

            Bitmap expected(300, 130);
            expected.blit(0, pageY, page, 0, 0, 300, 100);
            if (mm == 3) {
                imaging::Font font = text.font;
                font.pointSize = 15;
                const int tw = imaging::measureText("Chapter 4 [1]", font).width;
                expected.drawText((300 - tw) / 2, textY, "Chapter 4 [1]", font);
            }
            EXPECT_BITMAPS_EQUAL(frame, expected) << header << " " << mm;
            bool ink = false;
            for (int y = textY; y < textY + 30; ++y) ink |= !rowBlank(frame, y);
            EXPECT_EQ(ink, mm == 3) << header << " " << mm;
        }
}

TEST(CompositionFrames, EmptyHeaderStillCarriesThePageNumberAtTheTop) {
    FrameRig rig;
    rig.add(Bitmap(200, 20));
    rig.s.ti = 20;
    rig.s.layout.topint = 3;
    rig.s.inthead.text = "";
    const Bitmap frame = rig.frame(1);
    Bitmap expected(200, 40);
    imaging::Font font = rig.s.inthead.font;
    font.pointSize = 10;
    const int tw = imaging::measureText(" [1]", font).width;
    expected.drawText((200 - tw) / 2, 0, " [1]", font);
    EXPECT_BITMAPS_EQUAL(frame, expected);
}

TEST(CompositionFrames, StretchToLargestWidthFillsTheFrame) {
    FrameRig rig;
    rig.add(Bitmap(100, 30));
    const Bitmap narrow = makeTextPage({.width = 50, .height = 30, .topMargin = 0, .bottomMargin = 0}, 4);
    rig.add(narrow);
    rig.s.stretchWidth = true;
    rig.s.ri = 2;
    const Bitmap frame = rig.frame(2);
    Bitmap stretched(100, 30);
    stretched.copyRect(Rect{0, 0, 100, 30}, narrow, Rect{0, 0, 50, 30});
    EXPECT_BITMAPS_EQUAL(region(frame, 0, 0, 100, 30), stretched);
    EXPECT_BITMAPS_EQUAL(region(frame, 100, 0, 2, 30), Bitmap(2, 30));
}

TEST(CompositionFrames, JustificationOffsetsAreMeasuredOnTheWholeFrameAndClipped) {
    const Bitmap page = makeTextPage({.width = 60, .height = 150, .topMargin = 0, .bottomMargin = 0}, 5);
    struct Case {
        const char* what;
        layout::HorizontalJustification h;
        layout::VerticalJustification v;
        bool fixHeight, stretchHeight;
        int li, ri, ti, bi;
        int x, y;  // where the page's top-left lands in the frame
    };
    // Frame: LargestWidth 100 + li + ri wide; LongestHeight 200 + ti + bi
    // high with fixed height.
    for (const Case& c : {
             Case{"right, li 0: right edge on the frame's edge", layout::HorizontalJustification::Right,
                  layout::VerticalJustification::Top, false, false, 0, 4, 0, 0, 44, 0},
             Case{"right, li 5: passes the edge by li", layout::HorizontalJustification::Right,
                  layout::VerticalJustification::Top, false, false, 5, 3, 0, 0, 5 + 48, 0},
             Case{"centre", layout::HorizontalJustification::Centre, layout::VerticalJustification::Top, false,
                  false, 0, 1, 0, 0, 20, 0},
             Case{"bottom, ti 3", layout::HorizontalJustification::Left, layout::VerticalJustification::Bottom,
                  true, false, 0, 0, 3, 2, 0, 3 + 55},
             Case{"vertical centre", layout::HorizontalJustification::Left, layout::VerticalJustification::Centre,
                  true, false, 0, 0, 0, 0, 0, 25},
             Case{"bottom ignored with stretched height", layout::HorizontalJustification::Left,
                  layout::VerticalJustification::Bottom, true, true, 0, 0, 0, 0, 0, 0},
             Case{"bottom ignored without fixed height", layout::HorizontalJustification::Left,
                  layout::VerticalJustification::Bottom, false, false, 0, 0, 0, 0, 0, 0},
         }) {
        FrameRig rig;
        rig.add(Bitmap(100, 200));
        rig.add(page);
        rig.s.horizontal = c.h;
        rig.s.vertical = c.v;
        rig.s.layout.fixedHeight = c.fixHeight;
        rig.s.stretchHeight = c.stretchHeight;
        rig.s.li = c.li;
        rig.s.ri = c.ri;
        rig.s.ti = c.ti;
        rig.s.bi = c.bi;
        const Bitmap frame = rig.frame(2);
        const int fw = 100 + c.li + c.ri;
        const int fh = (c.fixHeight ? 200 : (c.stretchHeight ? 200 : 150)) + c.ti + c.bi;
        ASSERT_EQ(frame.width(), fw) << c.what;
        ASSERT_EQ(frame.height(), fh) << c.what;
        Bitmap target = page;
        if (c.stretchHeight) {
            target = Bitmap(60, 200);
            target.copyRect(Rect{0, 0, 60, 200}, page, Rect{0, 0, 60, 150});
        }
        Bitmap expected(fw, fh);
        expected.blit(c.x, c.y, target, 0, 0, target.width(), target.height());
        EXPECT_BITMAPS_EQUAL(frame, expected) << c.what;
    }
}

}  // namespace
}  // namespace quillet::compositiontest
