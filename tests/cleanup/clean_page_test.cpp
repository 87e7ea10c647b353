// The clean-up of generated scans with a known skew, dark band and dust:
// the angle is found, band and dust go, and every pixel of the text stays
// (the shears that turn the page back move pixels but never drop or add one).

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "cleanup/clean_page.h"
#include "cleanup/dark_borders.h"
#include "cleanup/page_masks.h"
#include "imaging/bit_rows.h"
#include "imaging/sample_page.h"
#include "support/bitmap_text.h"
#include "support/scanned_pages.h"

namespace quillet::cleanup {
namespace {

using imaging::Bitmap;
using imaging::Rect;
using test::turnedPage;

// Rows without ink between the first and the last inked row: many on a
// straight page of text, few once the lines slant across each other.
int blankRows(const Bitmap& page) {
    const Rect ink = inkBounds(page);
    int n = 0;
    for (int y = ink.top; y < ink.bottom; ++y) n += imaging::anyInk(page.row(y), 0, page.width()) ? 0 : 1;
    return n;
}

struct Case {
    const char* name;
    int dpi;
    double degrees;  // turned clockwise
    bool band;
    int specks;
    bool cramped;  // the text fills the page to a few pixels from its edges
};

class GeneratedScans : public ::testing::TestWithParam<Case> {};

TEST_P(GeneratedScans, AngleFoundBandAndDustGoneTextKept) {
    const Case c = GetParam();
    const Bitmap straight = test::textPage(c.dpi, 7);
    const Bitmap turned = turnedPage(straight, c.degrees);
    const Bitmap text = c.cramped ? test::croppedToInk(turned) : turned;
    Bitmap scan = text;
    const int bandLeft = c.band ? 45 * c.dpi / 300 : 0, bandTop = c.band ? 25 * c.dpi / 300 : 0;
    scan.fillRect({0, 0, bandLeft, scan.height()}, imaging::kBlack);
    scan.fillRect({0, 0, scan.width(), bandTop}, imaging::kBlack);
    const int side = c.dpi >= 300 ? 2 * c.dpi / 300 : 1;
    const int placed = test::sprinkleSpecks(scan, c.specks, side, 11);
    scan.xPixelsPerMetre = scan.yPixelsPerMetre = int(std::lround(c.dpi / 0.0254));

    const CleanedPage cleaned = cleanPage(scan, {});
    const CleanupReport& r = cleaned.report;
    EXPECT_EQ(r.dpi, c.dpi);
    EXPECT_EQ(r.borders.regions, c.band ? 1 : 0);
    EXPECT_EQ(r.specks.specks, placed);
    EXPECT_EQ(imaging::countInk(cleaned.page), imaging::countInk(text)) << "text pixels lost, or band or dust left";
    if (c.degrees == 0) {
        EXPECT_NE(r.deskew.outcome, DeskewReport::Outcome::Straightened);
        EXPECT_TRUE(test::bitmapsEqual(cleaned.page, text));
    } else {
        EXPECT_EQ(r.deskew.outcome, DeskewReport::Outcome::Straightened);
        EXPECT_NEAR(r.deskew.degrees, c.degrees, 0.05);
        EXPECT_GE(blankRows(cleaned.page), blankRows(straight) * 85 / 100) << "the lines are still slanted";
    }
    if (c.cramped) {
        EXPECT_GT(cleaned.page.width(), scan.width()) << "the turned corners needed room";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cleanup, GeneratedScans,
    ::testing::Values(Case{"straight", 300, 0, false, 0, false}, Case{"turned_a_little", 300, 0.4, false, 0, false},
                      Case{"turned_back", 300, -1.7, false, 0, false},
                      Case{"far_with_text_to_the_edges", 300, 4.5, false, 0, true},
                      Case{"banded_and_dusty", 300, 0, true, 300, false},
                      Case{"turned_banded_and_dusty", 300, 2.2, true, 300, false},
                      Case{"dusty_at_150_dpi", 150, -1.2, false, 150, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The dark things at a page's edge that are not text go; text that runs to
// the edge stays.
TEST(DarkBorders, EdgesHolesAndShadowsGoTextAtTheEdgeStays) {
    const Bitmap text = test::textPage(300, 12);
    const Rect ink = inkBounds(text);
    auto disk = [](Bitmap& b, int cx, int cy, int r) {
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) b.setBlack(x, y, true);
    };
    struct Case {
        const char* name;
        std::function<void(Bitmap&)> mark;
        int regions;  // removed
    } cases[] = {
        {"the next page's edge",
         [](Bitmap& b) { b.fillRect({b.width() - 3, 0, b.width(), b.height()}, imaging::kBlack); }, 1},
        {"punched holes",
         [&](Bitmap& b) {
             for (int k = 1; k <= 3; ++k) disk(b, 60, k * b.height() / 4, 35);  // 6 mm, 5 mm from the edge
         },
         3},
        {"a gutter's shadow", [](Bitmap& b) { b.fillRect({0, 0, 90, b.height()}, imaging::kBlack); }, 1},
        {"text cut by the edges",
         [&](Bitmap& b) {
             b = Bitmap(ink.width(), ink.height());
             b.blit(0, 0, text, ink.left, ink.top, ink.width(), ink.height());
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap scan = text;
        c.mark(scan);
        const BordersRemoved r = removeDarkBorders(scan, {300});
        EXPECT_EQ(r.report.regions, c.regions);
        EXPECT_TRUE(test::bitmapsEqual(r.page, c.regions == 0 ? scan : text));
    }
}

}  // namespace
}  // namespace quillet::cleanup
