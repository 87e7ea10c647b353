// Blank-row counts per compression level, the carry between pages, the
// percentage captions and the compression list's own handling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/line_gap_statistics.h"
#include "app/main_form.h"

namespace quillet::analysis {
namespace {

using imaging::Bitmap;

// A page `width` wide whose rows are ink ('#') or blank ('.') as the pattern
// says, ink over columns inkLeft..inkRight.
Bitmap rowsPage(const std::string& pattern, int width = 100, int inkLeft = 0, int inkRight = 99) {
    Bitmap b(width, int(pattern.size()));
    for (int y = 0; y < int(pattern.size()); ++y)
        if (pattern[std::size_t(y)] == '#')
            b.fillRect({inkLeft, y, inkRight + 1, y + 1}, imaging::kBlack);
    return b;
}

std::string repeat(char c, int n) { return std::string(std::size_t(n), c); }

CropBox whole(const Bitmap& b) { return {0, 0, b.width() - 1, b.height() - 1}; }

TEST(LineGapStatistics, WorkedExample) {
    const Bitmap page = rowsPage(repeat('#', 5) + repeat('.', 10) + repeat('#', 5) +
                                 repeat('.', 5) + repeat('#', 5));
    LineGapStatistics s;
    s.addPage(page, whole(page));
    EXPECT_EQ(s.counts().removedLow, 2);
    EXPECT_EQ(s.counts().removedMedium, 7);
    EXPECT_EQ(s.counts().removedHigh, 11);
    EXPECT_EQ(s.carry(), 0);

    PageTable t;
    t.TotalLines = 30;
    t.RemovedLow = 2;
    t.RemovedMedium = 7;
    t.RemovedHigh = 11;
    app::ChoiceList box("compressionselection", {"None 100%", "High", "Medium", "Low"}, 2);
    updateFactorsAndCaptions(t, box);
    EXPECT_EQ(box.items(),
              (std::vector<std::string>{"None 100%", "High 63.333%", "Medium 76.667%", "Low 93.333%"}));
    EXPECT_EQ(box.itemIndex(), 2);
    EXPECT_DOUBLE_EQ(t.CompressionFactor[1], 19.0 / 30);
    EXPECT_DOUBLE_EQ(t.CompressionFactor[3], 28.0 / 30);
    EXPECT_EQ(t.CompressionFactor[0], 1.0);
}

struct GapCase {
    int gap;
    std::int64_t high, medium, low;
};

class SingleGap : public ::testing::TestWithParam<GapCase> {};

TEST_P(SingleGap, RemovesRowsBeyondWhatEachLevelKeeps) {
    const GapCase& c = GetParam();
    const Bitmap page = rowsPage("##" + repeat('.', c.gap) + "####");
    LineGapStatistics s;
    s.addPage(page, whole(page));
    EXPECT_EQ(s.counts().removedHigh, c.high) << "gap " << c.gap;
    EXPECT_EQ(s.counts().removedMedium, c.medium) << "gap " << c.gap;
    EXPECT_EQ(s.counts().removedLow, c.low) << "gap " << c.gap;
}

INSTANTIATE_TEST_SUITE_P(Gaps, SingleGap,
                         ::testing::Values(GapCase{1, 0, 0, 0}, GapCase{2, 0, 0, 0},
                                           GapCase{3, 1, 0, 0}, GapCase{5, 3, 1, 0},
                                           GapCase{9, 7, 5, 1}, GapCase{40, 38, 36, 32}));

TEST(LineGapStatistics, BlankRowsAtAPageBoundaryMakeOneGap) {
    // Whole pages (autocrop off): 5 blank rows end page 1, 3 start page 2.
    const Bitmap one = rowsPage(repeat('#', 10) + repeat('.', 5));
    const Bitmap two = rowsPage("..." + repeat('#', 4) + repeat('.', 9) + repeat('#', 3));
    LineGapStatistics s;
    s.addPage(one, whole(one));
    EXPECT_EQ(s.carry(), 5);
    EXPECT_EQ(s.counts().removedHigh, 0);
    s.addPage(two, whole(two));
    // The boundary gap of 8 (High +6, Medium +4, Low +0), then page 2 goes on
    // from its row 3 and finds its own gap of 9 (High +7, Medium +5, Low +1).
    EXPECT_EQ(s.counts().removedHigh, 6 + 7);
    EXPECT_EQ(s.counts().removedMedium, 4 + 5);
    EXPECT_EQ(s.counts().removedLow, 0 + 1);
    EXPECT_EQ(s.carry(), 0);
}

TEST(LineGapStatistics, GapEndingOnTheBottomRowIsNotCounted) {
    const Bitmap page = rowsPage(repeat('#', 5) + repeat('.', 14) + "#");
    LineGapStatistics s;
    s.addPage(page, whole(page));
    EXPECT_EQ(s.counts().removedHigh, 0);
    EXPECT_EQ(s.counts().removedLow, 0);
    EXPECT_EQ(s.carry(), 0);
}

TEST(LineGapStatistics, WalkEndsWhenTheScanPassesTheBottomRow) {
    // The box's bottom row (19) has ink only outside its columns 10..50, so
    // the scan from row 5 runs on to the page's last row, past the bottom.
    Bitmap page = rowsPage(repeat('#', 5) + repeat('.', 20), 100, 10, 50);
    page.setBlack(0, 19, true);
    LineGapStatistics s;
    s.addPage(page, CropBox{10, 0, 50, 19});
    EXPECT_EQ(s.counts().removedHigh, 0);
    EXPECT_EQ(s.carry(), 15);  // rows 5..19 of the box are blank
}

TEST(LineGapStatistics, OnlyInkBetweenLeftAndRightCounts) {
    Bitmap page = rowsPage("##" + repeat('.', 9) + "##", 100, 20, 80);
    page.setBlack(5, 6, true);  // outside the box's columns: still a blank row
    LineGapStatistics s;
    s.addPage(page, CropBox{20, 0, 80, 12});
    EXPECT_EQ(s.counts().removedHigh, 7);
}

struct PercentCase {
    std::int64_t total, removed;
    const char* text;
};

class Percentage : public ::testing::TestWithParam<PercentCase> {};

TEST_P(Percentage, ShortestFormAfterRoundingHalvesToEven) {
    const PercentCase& c = GetParam();
    EXPECT_EQ(compressionPercentage(c.total, c.removed), c.text)
        << c.total << " - " << c.removed;
}

INSTANTIATE_TEST_SUITE_P(
    Values, Percentage,
    ::testing::Values(PercentCase{30, 11, "63.333"}, PercentCase{30, 7, "76.667"},
                      PercentCase{30, 2, "93.333"}, PercentCase{30, 0, "100"},
                      PercentCase{1000, 500, "50"}, PercentCase{100000, 17654, "82.346"},
                      // 0.5, 1.5 and 2.5 thousandths: halves go to the even neighbour
                      PercentCase{200000, 199999, "0"}, PercentCase{200000, 199997, "0.002"},
                      PercentCase{200000, 199995, "0.002"}, PercentCase{0, 0, "100"}));

TEST(CompressionCaptions, NoLinesGiveWholeFactorsAndResetRestoresPlainCaptions) {
    PageTable t;  // TotalLines 0
    t.CompressionFactor = {0.5, 0.5, 0.5, 0.5};
    app::ChoiceList box("compressionselection", {"None 100%", "High", "Medium", "Low"}, 0);
    updateFactorsAndCaptions(t, box);
    EXPECT_EQ(t.CompressionFactor, (std::array<double, 4>{1.0, 1.0, 1.0, 1.0}));
    EXPECT_EQ(box.items()[1], "High 100%");
    resetCompressionCaptions(box);
    EXPECT_EQ(box.items(), (std::vector<std::string>{"None 100%", "High", "Medium", "Low"}));
}

TEST(CompressionCaptions, TotalsLine) {
    PageTable t;
    t.TotalLines = 30;
    t.RemovedHigh = 11;
    t.RemovedMedium = 7;
    t.RemovedLow = 2;
    EXPECT_EQ(compressionTotalsText(t, true),
              "Compression in total lines; [high,medium,low,no compression] : [19, 23, 28, 30]");
    EXPECT_EQ(compressionTotalsText(t, false), "Compression   D I S A B L E D");
}

// ---- the compression list's handlers

struct BoxCase {
    const char* what;
    bool enabled;
    app::OutputFormat format;
    bool fixedWidth;
    int pick;
    int index;
    int tag;
};

class CompressionBoxChange : public ::testing::TestWithParam<BoxCase> {};

TEST_P(CompressionBoxChange, FallsBackSetsTagAndRefreshesLayout) {
    const BoxCase& c = GetParam();
    app::MainForm form;
    PageTable table;
    CompressionBox handlers(form, table);
    form.compressionselection.onChange = [&] { handlers.compressionselectionChange(); };
    form.compressionEnabled = c.enabled;
    form.outputFormat = c.format;
    form.Fixpagesizetolongestwidth1.setChecked(c.fixedWidth);
    form.compressionselection.tag = 99;
    int nudges = 0;
    form.ypixelsperinch.onChange = [&] { ++nudges; };

    form.compressionselection.userSelect(c.pick);
    EXPECT_EQ(form.compressionselection.itemIndex(), c.index) << c.what;
    EXPECT_EQ(form.compressionselection.tag, c.tag) << c.what;
    EXPECT_EQ(nudges, 2) << c.what;  // ypixelsperinch + 1, then - 1
}

INSTANTIATE_TEST_SUITE_P(
    Picks, CompressionBoxChange,
    ::testing::Values(
        BoxCase{"None", true, app::OutputFormat::Column, true, 0, 0, 0},
        BoxCase{"High", true, app::OutputFormat::Column, true, 1, 1, 2},
        BoxCase{"Medium", true, app::OutputFormat::Column, true, 2, 2, 4},
        BoxCase{"Low gives 8", true, app::OutputFormat::Column, true, 3, 3, 8},
        BoxCase{"disabled", false, app::OutputFormat::Column, true, 1, 0, 0},
        BoxCase{"Row without fixed width", true, app::OutputFormat::Row, false, 1, 0, 0},
        BoxCase{"Row with fixed width", true, app::OutputFormat::Row, true, 3, 3, 8},
        BoxCase{"Column ignores the fix item", true, app::OutputFormat::Column, false, 2, 2, 4}));

TEST(CompressionBoxFocus, ShowsTotalsOnlyWhileLockedAndAvailable) {
    app::MainForm form;
    PageTable table;
    table.TotalLines = 30;
    table.RemovedHigh = 11;
    CompressionBox handlers(form, table);
    form.compressionselection.onFocus = [&] { handlers.compressionselectionFocus(); };
    form.Panel1.setText("before");

    form.compressionselection.focusIn();  // unlocked
    EXPECT_EQ(form.Panel1.text(), "before");

    form.lockselection.setChecked(true);
    form.compressionselection.focusIn();
    EXPECT_EQ(form.Panel1.text(),
              "Compression in total lines; [high,medium,low,no compression] : [19, 30, 30, 30]");

    form.Panel1.setText("before");
    form.outputFormat = app::OutputFormat::Row;
    form.Fixpagesizetolongestwidth1.setChecked(false);
    form.compressionselection.focusIn();
    EXPECT_EQ(form.Panel1.text(), "before");

    form.Fixpagesizetolongestwidth1.setChecked(true);
    form.compressionEnabled = false;
    form.compressionselection.focusIn();
    EXPECT_EQ(form.Panel1.text(), "Compression   D I S A B L E D");
}

}  // namespace
}  // namespace quillet::analysis
