// Crop boxes with the six-line rule, the walks' ends on pages without text
// edges, and the autocrop pass's texts and statistics.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/autocrop.h"
#include "app/main_form.h"
#include "support/fake_platform.h"

namespace quillet::analysis {
namespace {

using imaging::Bitmap;
using imaging::kBlack;
using imaging::Rect;

// Ink over columns l..r and rows t..b, inclusive.
void ink(Bitmap& b, int l, int t, int r, int bottom) { b.fillRect(Rect{l, t, r + 1, bottom + 1}, kBlack); }

std::string str(const CropBox& c) {
    return std::to_string(c.left) + "," + std::to_string(c.top) + "," + std::to_string(c.right) +
           "," + std::to_string(c.bottom);
}

TEST(FindCropBox, SpeckOfThreeColumnsBeforeTextIsPassedOver) {
    Bitmap b(420, 60);
    ink(b, 10, 25, 12, 27);   // speck at columns 10..12
    ink(b, 20, 5, 400, 50);   // text
    EXPECT_EQ(str(findCropBox(b)), "20,5,400,50");
}

// A run of n ink lines two lines in from one side, separated by blank lines
// from a block of text at 30..69 x 20..59 of a 100 x 80 page.
struct SideRun {
    const char* side;
    int n;
    const char* box;
};

class RunAtSide : public ::testing::TestWithParam<SideRun> {};

TEST_P(RunAtSide, SixLinesCountFiveArePassedOver) {
    const SideRun& c = GetParam();
    Bitmap b(100, 80);
    ink(b, 30, 20, 69, 59);
    const std::string side = c.side;
    if (side == "left") ink(b, 2, 35, 2 + c.n - 1, 45);
    if (side == "right") ink(b, 97 - c.n + 1, 35, 97, 45);
    if (side == "top") ink(b, 40, 2, 50, 2 + c.n - 1);
    if (side == "bottom") ink(b, 40, 77 - c.n + 1, 50, 77);
    EXPECT_EQ(str(findCropBox(b)), c.box) << c.side << " run of " << c.n;
}

INSTANTIATE_TEST_SUITE_P(
    AllSides, RunAtSide,
    ::testing::Values(SideRun{"left", 5, "30,20,69,59"}, SideRun{"left", 6, "2,20,69,59"},
                      SideRun{"right", 5, "30,20,69,59"}, SideRun{"right", 6, "30,20,97,59"},
                      SideRun{"top", 5, "30,20,69,59"}, SideRun{"top", 6, "30,2,69,59"},
                      SideRun{"bottom", 5, "30,20,69,59"}, SideRun{"bottom", 6, "30,20,69,77"}));

TEST(FindCropBox, WideSpeckInTopMarginWidensTheBoxSideways) {
    Bitmap b(200, 150);
    ink(b, 40, 30, 159, 139);  // text
    ink(b, 5, 4, 14, 5);       // speck 10 columns wide, 2 rows tall, in the top margin
    // Too short to be the top edge, wide enough to be the left edge.
    EXPECT_EQ(str(findCropBox(b)), "5,30,159,139");
}

struct NoEdgePage {
    const char* what;
    std::vector<Rect> inkRects;  // right/bottom exclusive
    const char* box;
};

class PageWithoutSomeEdge : public ::testing::TestWithParam<NoEdgePage> {};

TEST_P(PageWithoutSomeEdge, WalkEndsWithThePageEdge) {
    const NoEdgePage& c = GetParam();
    Bitmap b(90, 70);
    for (const Rect& r : c.inkRects) b.fillRect(r, kBlack);
    const CropBox box = findCropBox(b);
    EXPECT_EQ(str(box), c.box) << c.what;
    EXPECT_LE(box.left, box.right);
    EXPECT_LE(box.top, box.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageWithoutSomeEdge,
    ::testing::Values(
        NoEdgePage{"blank page", {}, "0,0,89,69"},
        NoEdgePage{"thin rule (one line)", {Rect{10, 40, 80, 41}}, "10,0,79,69"},
        NoEdgePage{"one line of text", {Rect{10, 40, 80, 50}}, "10,40,79,49"},
        NoEdgePage{"ink in the last 5 rows", {Rect{10, 65, 80, 70}}, "10,0,79,69"},
        NoEdgePage{"ink in the last 5 columns", {Rect{85, 10, 90, 60}}, "0,10,89,59"},
        NoEdgePage{"ink in the first 5 columns and rows", {Rect{0, 0, 5, 5}}, "0,0,89,69"},
        // Six lines at the far edge: the forward walk reaches the edge
        // without a blank line after them, the backward walk finds them.
        NoEdgePage{"ink in the last 6 columns", {Rect{84, 10, 90, 60}}, "0,10,89,59"},
        NoEdgePage{"ink in the first 6 rows", {Rect{10, 0, 80, 6}}, "10,0,79,69"},
        NoEdgePage{"single pixel in the corner", {Rect{89, 69, 90, 70}}, "0,0,89,69"}));

TEST(FindCropBox, TinyPagesEnd) {
    for (auto [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 9}, {9, 1}, {6, 6}}) {
        Bitmap blank(w, h);
        EXPECT_EQ(str(findCropBox(blank)), str(CropBox{0, 0, w - 1, h - 1}));
        Bitmap full(w, h);
        ink(full, 0, 0, w - 1, h - 1);
        const CropBox box = findCropBox(full);
        EXPECT_LE(box.left, box.right);
        EXPECT_LE(box.top, box.bottom);
    }
}

// ---- the pass

struct PassFixture : ::testing::Test {
    app::MainForm form;
    testing::FakePlatform fake;
    PageTable table;
    std::vector<std::string> texts;
    int raised = 0;

    PassFixture() {
        form.Panel1.written.connect([this] { texts.push_back(form.Panel1.text()); });
        form.window.raised.connect([this] { ++raised; });
    }
};

TEST_F(PassFixture, ProgressTextsWithIntegerPercentages) {
    AutocropPass pass(form, fake, table, true);
    pass.begin(3);
    Bitmap page(50, 40);
    ink(page, 10, 10, 39, 29);
    for (int k = 1; k <= 3; ++k) pass.addPage(k, page);
    pass.end();
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Autocrop processing . . . 0/3.   0%  complete",
                         "Autocrop processing . . . 1/3.   33%  complete",
                         "Autocrop processing . . . 2/3.   66%  complete",
                         "Autocrop processing . . . 3/3.   100%  complete"}));
    EXPECT_EQ(raised, 3);
    EXPECT_EQ(fake.beeps, 1);
    EXPECT_EQ(fake.log, (std::vector<std::string>{"busy on", "beep", "busy off"}));
    EXPECT_EQ(table.CropTopLeft[2].X, 10);
    EXPECT_EQ(table.CropBottomRight[3].Y, 29);
    EXPECT_EQ(table.TotalLines, 60);
}

TEST_F(PassFixture, SizeStatisticsOverTwoPages) {
    // Text blocks of 800 x 1000 and 700 x 1200 inside larger pages.
    AutocropPass pass(form, fake, table, true);
    table.TotalLines = 99;  // left from an earlier lock
    pass.begin(2);
    Bitmap a(900, 1100);
    ink(a, 50, 40, 849, 1039);
    pass.addPage(1, a);
    Bitmap b(760, 1300);
    ink(b, 30, 60, 729, 1259);
    pass.addPage(2, b);
    pass.end();
    EXPECT_EQ(table.LongestHeight, 1200);
    EXPECT_EQ(table.LargestWidth, 800);
    EXPECT_EQ(table.TotalLines, 2200);
    EXPECT_EQ(table.TotalWidth, 1500);
}

TEST_F(PassFixture, SwitchedOffGivesWholePagesAndItsOwnText) {
    AutocropPass pass(form, fake, table, false);
    pass.begin(2);
    Bitmap a(800, 1000);
    ink(a, 100, 100, 200, 200);
    pass.addPage(1, a);
    pass.addPage(2, Bitmap(700, 1200));
    pass.end();
    EXPECT_EQ(texts, (std::vector<std::string>{"Autocrop Disabled", "Autocrop Disabled"}));
    EXPECT_EQ(table.CropTopLeft[1].X, 0);
    EXPECT_EQ(table.CropBottomRight[1].X, 799);
    EXPECT_EQ(table.CropBottomRight[2].Y, 1199);
    EXPECT_EQ(table.TotalLines, 2200);
    EXPECT_EQ(table.LargestWidth, 800);
    EXPECT_EQ(fake.beeps, 1);
}

}  // namespace
}  // namespace quillet::analysis
