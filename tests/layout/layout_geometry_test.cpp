// The layout geometry: roundings, the printed page estimate, the size line,
// the five handlers with their nested runs, and degenerate geometry.

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/rounding.h"
#include "layout/layout_geometry.h"
#include "layout_rig.h"

namespace quillet::layouttest {
namespace {

using base::halfUp;
using base::roundEven;
using layout::kNoRoomText;
using layout::kNoRowText;

TEST(Rounding, TiesToEvenVersusHalfUp) {
    struct Row { double x; long long even; long long up; };
    for (Row r : {Row{2.5, 2, 3}, Row{3.5, 4, 4}, Row{0.5, 0, 1}, Row{1800.5, 1800, 1801},
                  Row{2.4999, 2, 2}, Row{-0.7, -1, 0}, Row{-2.5, -2, -2}}) {
        EXPECT_EQ(roundEven(r.x), r.even) << r.x;
        EXPECT_EQ(halfUp(r.x), r.up) << r.x;
    }
    // Quotients of a divisor near zero saturate instead of overflowing.
    EXPECT_GT(roundEven(1e300), 0);
    EXPECT_EQ(halfUp(std::nan("")), 0);
    EXPECT_EQ(base::toInt32(roundEven(1e300)), 2147483647);
}

TEST(SizeLine, KilobytesFromTheExactProduct) {
    EXPECT_EQ(layout::sizeLine(4412, 6960, 3), "4412, 6960 (3 x 3748K = 11245K)");
    EXPECT_EQ(layout::sizeLine(1000, 8192, 2), "1000, 8192 (2 x 1000K = 2000K)");
    // Products far beyond 32 bits (300 pages of 2^31-1 squared bits).
    EXPECT_EQ(layout::sizeLine(2147483647, 2147483647, 300),
              "2147483647, 2147483647 (300 x 562949952897024K = 168884985869107200K)");
}

struct EstimateCase {
    app::OutputFormat format;
    long long T, CLP, N, rowHeight;
    int expected;
};

TEST(PrintedPageEstimate, ColumnAndRowRules) {
    const auto C = app::OutputFormat::Column, R = app::OutputFormat::Row;
    const std::vector<EstimateCase> cases = {
        {C, 2040, 1000, 1, 0, 2},    // last page 4 per cent full is not counted
        {C, 2060, 1000, 1, 0, 3},    // 6 per cent full counts
        {C, 2049, 500, 2, 0, 2},     // capacity is CLP x N
        {C, 2000, 1000, 1, 0, 2},    // exact multiple
        {C, 0, 1000, 1, 0, 1},       // lowered to 0, clamped to 1
        {C, 400010, 1000, 1, 0, 299},  // 401 clamps to 300; the lowering reads 300 back
        {R, 3000, 1000, 1, 500, 3},  // fills the pages exactly: T div k
        {R, 3001, 1000, 1, 500, 4},  // one remainder pixel: one page more
        {R, 3000, 1499, 1, 500, 3},  // two rows per page, the rest of the column unused
        {R, 7000, 1000, 3, 500, 3},  // k = 2 x 500 x 3
    };
    for (const auto& c : cases) {
        app::NumberField npp("numberofprintedpages", 1, 300, 1, 3, 1);
        EXPECT_TRUE(layout::writePrintedPageEstimate(npp, c.format, c.T, c.CLP, c.N, c.rowHeight));
        EXPECT_EQ(npp.value(), c.expected) << "T=" << c.T << " CLP=" << c.CLP;
    }
}

TEST(PrintedPageEstimate, NoCapacityWritesNothing) {
    const auto C = app::OutputFormat::Column, R = app::OutputFormat::Row;
    for (EstimateCase c : {EstimateCase{R, 3000, 400, 1, 500, 0},   // q = 0
                           EstimateCase{R, 3000, 1000, 1, 0, 0},    // row height 0
                           EstimateCase{R, 3000, 1000, 1, -5, 0},
                           EstimateCase{C, 3000, 0, 1, 0, 0},       // k = 0
                           EstimateCase{C, 3000, 1000, 0, 0, 0}}) {
        app::NumberField npp("numberofprintedpages", 1, 300, 1, 3, 7);
        EXPECT_FALSE(layout::writePrintedPageEstimate(npp, c.format, c.T, c.CLP, c.N, c.rowHeight));
        EXPECT_EQ(npp.value(), 7);
    }
}

// The layout a lock leaves: the nudge from x = y = 600 on an A4 printed size
// with the default borders.
TEST(LayoutHandlers, NudgeComputesTheWholeLayout) {
    Rig rig;
    rig.nudge();
    auto& f = rig.form;
    EXPECT_EQ(f.ColumnLengthPixels.value(), 6945);  // half-up(600 / 25.4 x 294)
    EXPECT_EQ(f.ypixelsperinch.value(), 600);
    EXPECT_EQ(f.ColumnLengthPages.value(), 4);      // the fifth page needs 7120 rows
    EXPECT_EQ(f.Numberofcolumnsperprintedpage.value(), 5);
    EXPECT_EQ(f.xpixelsperinch.value(), 619);       // written back from 5 columns
    EXPECT_EQ(f.numberofprintedpages.value(), 1);
    EXPECT_EQ(rig.numbers.InternalBottomPx, 24);
    EXPECT_EQ(rig.numbers.InternalRightPx, 24);
    EXPECT_EQ(rig.numbers.ExternalBottomPx, 71);
    EXPECT_EQ(rig.numbers.ExternalPageWidthPx, 5120);
    EXPECT_EQ(rig.numbers.ExternalPageHeightPx, 7016);
    EXPECT_EQ(f.Panel1.text(), "5120, 7016 (1 x 4385K = 4385K)");
    EXPECT_EQ(f.ColumnLengthPixels.minimum(), 1405);
    EXPECT_EQ(f.ypixelsperinch.minimum(), 121);
    EXPECT_EQ(f.xpixelsperinch.step(), 124);  // half-up(1024 / 210 x 25.4)
    EXPECT_TRUE(f.LayoutHandlersEnabled);
}

TEST(LayoutHandlers, NothingHappensUnlockedOrWithTheFlagClear) {
    for (bool locked : {false, true}) {
        Rig rig;
        rig.form.lockselection.setChecked(locked);
        rig.form.LayoutHandlersEnabled = !locked;
        rig.form.Panel1.setText("marker");
        rig.nudge();
        rig.form.ColumnLengthPixels.typeText("5000");
        rig.form.ColumnLengthPixels.commit();
        EXPECT_EQ(rig.form.Panel1.text(), "marker");
        EXPECT_EQ(rig.form.xpixelsperinch.value(), 600);
        EXPECT_EQ(rig.form.ColumnLengthPages.value(), 1);
        EXPECT_EQ(rig.numbers.ExternalPageHeightPx, 0);
    }
}

TEST(LayoutHandlers, ColumnLengthTypedBelowTheMinimumIsRaisedAndYFollows) {
    Rig rig;
    rig.nudge();
    rig.form.ColumnLengthPixels.typeText("100");
    rig.form.ColumnLengthPixels.commit();
    auto& f = rig.form;
    EXPECT_EQ(f.ColumnLengthPixels.value(), 1405);  // one average page and its 1 mm foot
    EXPECT_EQ(f.ypixelsperinch.value(), 121);       // half-up(1405 x 25.4 / 294)
    EXPECT_EQ(f.ColumnLengthPages.value(), 1);
    EXPECT_EQ(f.numberofprintedpages.value(), 1);   // 5620 rows in 5 columns of 1405
    EXPECT_EQ(rig.numbers.InternalBottomPx, 5);
    EXPECT_EQ(rig.numbers.ExternalPageHeightPx, 1419);
    EXPECT_EQ(f.Panel1.text(), "5120, 1419 (1 x 886K = 886K)");
}

TEST(LayoutHandlers, FixedHeightColumnLengthFromPages) {
    for (int P : {1, 2, 3, 7}) {
        Rig rig;
        rig.form.Fixpagesizetolongestheight1.setChecked(true);
        rig.nudge();
        rig.form.ColumnLengthPages.typeText(std::to_string(P));
        rig.form.ColumnLengthPages.commit();
        const auto& n = rig.numbers;
        EXPECT_EQ(rig.form.ColumnLengthPixels.value(),
                  P * (1500 + n.InternalTopPx + n.InternalBottomPx)) << P;
        if (P == 3) {
            EXPECT_EQ(n.InternalBottomPx, 15);  // round(1500 / 97 mm)
            EXPECT_EQ(rig.form.ColumnLengthPixels.value(), 4545);
            EXPECT_EQ(rig.form.ypixelsperinch.value(), 393);
            EXPECT_EQ(n.ExternalPageHeightPx, 4545 + 46);
        }
        EXPECT_EQ(rig.form.ColumnLengthPages.value(), P);
    }
}

// Runs the same steps with compression "None 100%" and with a level whose
// factor is `factor`; returns the column length that P = 3 gives.
int columnLengthForThreePages(int item, double factor) {
    Rig rig;
    rig.table.CompressionFactor[1] = factor;
    rig.form.compressionselection.setItemIndex(item);
    rig.form.Fixpagesizetolongestheight1.setChecked(true);
    rig.nudge();
    rig.form.ColumnLengthPages.typeText("3");
    rig.form.ColumnLengthPages.commit();
    return rig.form.ColumnLengthPixels.value();
}

TEST(LayoutHandlers, FactorOfExactlyOneBehavesLikeNoCompression) {
    EXPECT_EQ(columnLengthForThreePages(0, 1.0), 4545);
    EXPECT_EQ(columnLengthForThreePages(1, 1.0), 4545);
    // Below 1.0 the stacked length is TotalLines x f, whether fixed or not.
    EXPECT_EQ(columnLengthForThreePages(1, 0.999), 4238);  // half-up(3 x (1398.6 + 14))
}

TEST(LayoutHandlers, AllInternalBordersZeroRoundTheWidthOnce) {
    struct Row { int leftext; int expectedWidth; };
    for (Row r : {Row{0, 1800}, Row{5, 1844}}) {
        Rig rig;
        for (auto* fld : {&rig.borders.topint, &rig.borders.bottomint, &rig.borders.leftint,
                          &rig.borders.rightint})
            fld->setValue(0);
        rig.borders.leftext.setValue(r.leftext);
        rig.form.Fixpagesizetolongestwidth1.setChecked(false);
        rig.table.TotalWidth = 3601;  // an average page 900.25 wide
        rig.quiet(rig.form.Numberofcolumnsperprintedpage, 2);
        rig.geometry.RecomputeLayoutNumbers();
        const auto& n = rig.numbers;
        EXPECT_EQ(n.InternalTopPx, 0);
        EXPECT_EQ(n.InternalBottomPx, 0);
        EXPECT_EQ(n.InternalLeftPx, 0);
        EXPECT_EQ(n.InternalRightPx, 0);
        // 2 x 900.25 + external borders = x.5, rounded once to the even side.
        EXPECT_EQ(n.ExternalPageWidthPx, r.expectedWidth) << r.leftext;
    }
}

TEST(LayoutHandlers, WritingTheShownValueRunsNothing) {
    Rig rig;
    rig.nudge();
    int writes = 0;
    rig.form.Panel1.written.connect([&] { ++writes; });
    const layout::LayoutNumbers before = rig.numbers;
    for (auto* fld : {&rig.form.ColumnLengthPixels, &rig.form.ColumnLengthPages,
                      &rig.form.Numberofcolumnsperprintedpage, &rig.form.xpixelsperinch,
                      &rig.form.ypixelsperinch})
        fld->setValue(fld->value());
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(rig.numbers.ExternalPageWidthPx, before.ExternalPageWidthPx);
    EXPECT_EQ(rig.numbers.ExternalPageHeightPx, before.ExternalPageHeightPx);
    // The arrows do run the handler.
    rig.form.ypixelsperinch.stepUp();
    EXPECT_GT(writes, 0);
    EXPECT_EQ(rig.form.ColumnLengthPixels.value(), 7061);  // half-up(610 / 25.4 x 294)
}

TEST(LayoutHandlers, ResolutionAtItsMaximumIsNotLowered) {
    for (bool vertical : {true, false}) {
        Rig rig;
        rig.nudge();
        app::NumberField& res = vertical ? rig.form.ypixelsperinch : rig.form.xpixelsperinch;
        rig.quiet(res, 99999);
        int writes = 0;
        rig.form.Panel1.written.connect([&] { ++writes; });
        res.stepUp();  // clamped away: no handler
        EXPECT_EQ(writes, 0);
        rig.nudge();
        EXPECT_EQ(res.value(), 99999);
    }
}

TEST(LayoutHandlers, PagesSearchStopsAtTheFieldMaximum) {
    Rig rig;
    rig.table.LargestWidth = 10;
    rig.table.LongestHeight = 10;
    rig.table.TotalLines = 40;
    rig.table.TotalWidth = 40;
    rig.borders.bottomint.setValue(0);
    rig.nudge();
    rig.form.ColumnLengthPixels.typeText("5000");
    rig.form.ColumnLengthPixels.commit();
    EXPECT_EQ(rig.form.ColumnLengthPages.value(), 99);
}

TEST(LayoutHandlers, PagesSearchEndsWhereAPageHasNoMillimetresLeft) {
    Rig rig;
    rig.borders.bottomint.setValue(100);  // 294 / 3 - 100 < 0
    rig.nudge();
    rig.form.ColumnLengthPixels.typeText("20000");
    rig.form.ColumnLengthPixels.commit();
    EXPECT_EQ(rig.form.ColumnLengthPages.value(), 2);
    EXPECT_EQ(rig.form.ColumnLengthPixels.value(), 20000);
}

TEST(LayoutHandlers, RowEstimateThroughTheHandlers) {
    struct Row { int columns; int expected; };
    for (Row r : {Row{1, 2}, Row{3, 1}}) {
        Rig rig;
        rig.form.outputFormat = app::OutputFormat::Row;
        rig.form.Fixpagesizetolongestheight1.setChecked(true);
        rig.nudge();
        rig.quiet(rig.form.Numberofcolumnsperprintedpage, r.columns);
        rig.form.ColumnLengthPages.typeText("2");  // two rows of the four pages' height
        rig.form.ColumnLengthPages.commit();
        EXPECT_EQ(rig.form.numberofprintedpages.value(), r.expected) << r.columns;
    }
}

// Counts the runs of each handler that start with the flag set (full runs).
struct RunCounter {
    explicit RunCounter(Rig& rig) {
        auto wrap = [&](app::NumberField& fld) {
            auto inner = fld.onChange;
            fld.onChange = [this, &rig, &fld, inner] {
                if (rig.form.LayoutHandlersEnabled && rig.form.locked()) ++full[fld.name()];
                inner();
            };
        };
        wrap(rig.form.ColumnLengthPixels);
        wrap(rig.form.ColumnLengthPages);
        wrap(rig.form.Numberofcolumnsperprintedpage);
        wrap(rig.form.xpixelsperinch);
        wrap(rig.form.ypixelsperinch);
    }
    std::map<std::string, int> full;
};

TEST(LayoutHandlers, OnlyTheWantedNestedRunsHappen) {
    struct Row {
        const char* field;
        const char* text;
        std::map<std::string, int> expected;
    };
    const std::vector<Row> rows = {
        {"ColumnLengthPixels", "100", {{"ColumnLengthPixels", 1}}},  // raised when committed
        {"ColumnLengthPixels", "9000", {{"ColumnLengthPixels", 1}}},
        {"ColumnLengthPages", "2", {{"ColumnLengthPages", 1}}},
        {"Numberofcolumnsperprintedpage", "3", {{"Numberofcolumnsperprintedpage", 1}}},
        {"xpixelsperinch", "800", {{"xpixelsperinch", 1}, {"Numberofcolumnsperprintedpage", 1}}},
        {"ypixelsperinch", "700", {{"ypixelsperinch", 1}, {"ColumnLengthPixels", 1}}},
    };
    for (const auto& r : rows) {
        Rig rig;
        rig.nudge();
        RunCounter counter(rig);
        app::NumberField* fld = nullptr;
        for (auto* c : {&rig.form.ColumnLengthPixels, &rig.form.ColumnLengthPages,
                        &rig.form.Numberofcolumnsperprintedpage, &rig.form.xpixelsperinch,
                        &rig.form.ypixelsperinch})
            if (c->name() == r.field) fld = c;
        fld->typeText(r.text);
        fld->commit();
        EXPECT_EQ(counter.full, r.expected) << r.field << " " << r.text;
        EXPECT_TRUE(rig.form.LayoutHandlersEnabled);
    }
}

TEST(LayoutHandlers, ResolutionsDoNotChangeEachOther) {
    Rig rig;
    rig.nudge();
    const int x = rig.form.xpixelsperinch.value();
    rig.form.ypixelsperinch.typeText("700");
    rig.form.ypixelsperinch.commit();
    EXPECT_EQ(rig.form.xpixelsperinch.value(), x);
    EXPECT_EQ(rig.form.ColumnLengthPixels.value(), 8102);  // half-up(700 / 25.4 x 294)
    const int y = rig.form.ypixelsperinch.value();
    rig.form.xpixelsperinch.typeText("800");
    rig.form.xpixelsperinch.commit();
    EXPECT_EQ(rig.form.ypixelsperinch.value(), y);
    EXPECT_EQ(rig.form.Numberofcolumnsperprintedpage.value(), 6);
}

TEST(LayoutHandlers, ResolutionAskingForTheMostColumnsRecomputesForThem) {
    Rig rig;
    rig.table.LargestWidth = 10;
    rig.table.TotalWidth = 40;
    rig.borders.rightint.setValue(0);
    rig.nudge();
    ASSERT_LT(rig.form.Numberofcolumnsperprintedpage.value(), 99);
    rig.form.xpixelsperinch.typeText("20000");  // asks for far more than 99 columns
    rig.form.xpixelsperinch.commit();
    EXPECT_EQ(rig.form.Numberofcolumnsperprintedpage.value(), 99);
    EXPECT_EQ(rig.numbers.ExternalPageWidthPx, 990);       // 99 columns of 10 pixels
    EXPECT_EQ(rig.form.xpixelsperinch.value(), 120);       // half-up(990 / 210 x 25.4)
}

// ---------------------------------------------------------------- degenerate geometry

struct Snapshot {
    explicit Snapshot(const Rig& rig)
        : texts{rig.form.ColumnLengthPixels.text(), rig.form.ColumnLengthPages.text(),
                rig.form.Numberofcolumnsperprintedpage.text(), rig.form.xpixelsperinch.text(),
                rig.form.ypixelsperinch.text(), rig.form.numberofprintedpages.text()},
          minimumCLP(rig.form.ColumnLengthPixels.minimum()),
          width(rig.numbers.ExternalPageWidthPx), height(rig.numbers.ExternalPageHeightPx),
          bottom(rig.numbers.InternalBottomPx) {}
    std::vector<std::string> texts;
    int minimumCLP;
    int width, height, bottom;
    bool operator==(const Snapshot&) const = default;
};

// Typing is held until the commit and then handled once, exactly like one
// program write of the typed number clamped into the field's range at that
// moment; while it is held, nothing moves and value() is the committed one.
TEST(LayoutHandlers, TypedNumbersAreHandledOnceWhenCommitted) {
    struct Row {
        const char* field;
        const char* typed;
    };
    const std::vector<Row> rows = {
        {"ypixelsperinch", "600"},        {"ColumnLengthPixels", "7000"},
        {"ColumnLengthPixels", "1"},      {"xpixelsperinch", "250"},
        {"ColumnLengthPages", "3"},       {"Numberofcolumnsperprintedpage", "12"},
        {"xpixelsperinch", "abc"},
    };
    auto fieldOf = [](Rig& rig, const std::string& name) -> app::NumberField& {
        for (app::NumberField* c : {&rig.form.ColumnLengthPixels, &rig.form.ColumnLengthPages,
                                    &rig.form.Numberofcolumnsperprintedpage,
                                    &rig.form.xpixelsperinch, &rig.form.ypixelsperinch})
            if (c->name() == name) return *c;
        throw std::logic_error(name);
    };
    for (const Row& r : rows) {
        Rig typed, written;
        typed.nudge();
        written.nudge();
        const Snapshot before(typed);
        app::NumberField& field = fieldOf(typed, r.field);
        const std::string text = r.typed;
        for (std::size_t n = 1; n <= text.size(); ++n) {
            field.typeText(text.substr(0, n));
            EXPECT_EQ(field.editText(), text.substr(0, n));
            EXPECT_TRUE(Snapshot(typed) == before) << r.field << " while typing " << text.substr(0, n);
        }
        // A modal box or another window taking the activation is not the
        // user leaving the field.
        field.focusLost(app::FocusMove::WindowActivation);
        field.focusLost(app::FocusMove::PopupMenu);
        EXPECT_TRUE(Snapshot(typed) == before) << r.field << " after a deactivation";
        field.commit();
        field.commit();  // a second commit has nothing left to handle
        app::NumberField& target = fieldOf(written, r.field);
        target.setValue(target.clamp(target.parse(text)));
        EXPECT_TRUE(Snapshot(typed) == Snapshot(written)) << r.field << " " << text;
        EXPECT_EQ(field.editText(), field.text());
    }
}

TEST(DegenerateGeometry, EachDivisorLeavesTheFieldsAndReportsNoRoom) {
    struct Row {
        const char* what;
        void (*apply)(Rig&);
    };
    const std::vector<Row> rows = {
        {"usable height 0", [](Rig& r) { r.borders.bottomext.setValue(297); }},
        {"usable height negative", [](Rig& r) { r.borders.topext.setValue(400); }},
        {"usable width 0", [](Rig& r) { r.borders.leftext.setValue(210); }},
        {"column without room", [](Rig& r) {  // 210 / 5 - 21 - 21 = 0
             r.borders.leftint.setValue(21);
             r.borders.rightint.setValue(21);
         }},
        {"page without room", [](Rig& r) {  // 294 - 100 - 194 = 0
             r.borders.topint.setValue(100);
             r.borders.bottomint.setValue(194);
         }},
        {"no selection", [](Rig& r) {
             for (int i = 0; i < r.form.FileListBox1.count(); ++i)
                 r.form.FileListBox1.setSelected(i, false);
         }},
    };
    for (const auto& row : rows) {
        Rig rig;
        rig.nudge();
        const Snapshot before(rig);
        row.apply(rig);
        rig.nudge();
        EXPECT_EQ(rig.form.Panel1.text(), kNoRoomText) << row.what;
        EXPECT_TRUE(Snapshot(rig) == before) << row.what;
        // Typing a column length changes nothing else either.
        rig.form.ColumnLengthPixels.typeText("3000");
        rig.form.ColumnLengthPixels.commit();
        EXPECT_EQ(rig.form.Panel1.text(), kNoRoomText) << row.what;
        EXPECT_EQ(rig.form.ColumnLengthPages.text(), before.texts[1]) << row.what;
        EXPECT_EQ(rig.form.xpixelsperinch.text(), before.texts[3]) << row.what;
        EXPECT_TRUE(rig.form.LayoutHandlersEnabled);
    }
}

TEST(DegenerateGeometry, PageBasedScaleWithoutRoom) {
    Rig rig;
    rig.nudge();
    rig.borders.bottomint.setValue(98);  // 294 / 3 - 98 = 0, one page still fits
    const Snapshot before(rig);
    rig.form.ColumnLengthPages.typeText("3");
    rig.form.ColumnLengthPages.commit();
    EXPECT_EQ(rig.form.Panel1.text(), kNoRoomText);
    Snapshot after(rig);
    after.texts[1] = before.texts[1];
    EXPECT_TRUE(after == before);
}

TEST(DegenerateGeometry, ResolutionAskingForColumnsWithoutRoomKeepsTheColumns) {
    Rig rig;
    rig.nudge();
    rig.borders.leftint.setValue(20);
    rig.borders.rightint.setValue(20);  // 5 columns leave 2 mm each, 6 leave none
    rig.form.xpixelsperinch.typeText("800");
    rig.form.xpixelsperinch.commit();
    EXPECT_EQ(rig.form.Panel1.text(), kNoRoomText);
    EXPECT_EQ(rig.form.Numberofcolumnsperprintedpage.value(), 5);  // not left at 99
}

TEST(DegenerateGeometry, NoColumnWidthForTheResolution) {
    Rig rig;
    rig.table.LargestWidth = 0;
    rig.borders.rightint.setValue(0);
    rig.form.xpixelsperinch.typeText("700");
    rig.form.xpixelsperinch.commit();
    EXPECT_EQ(rig.form.Panel1.text(), kNoRoomText);
    EXPECT_EQ(rig.form.Numberofcolumnsperprintedpage.value(), 1);
}

TEST(DegenerateGeometry, RowFormatWithoutOneRowKeepsTheEstimate) {
    Rig rig;
    rig.form.outputFormat = app::OutputFormat::Row;
    rig.form.Fixpagesizetolongestheight1.setChecked(true);
    rig.table.CompressionFactor[1] = 0.5;
    rig.form.compressionselection.setItemIndex(1);
    rig.nudge();
    rig.quiet(rig.form.numberofprintedpages, 9);
    rig.form.ColumnLengthPixels.typeText("800");  // rows are 1500 + borders high
    rig.form.ColumnLengthPixels.commit();
    EXPECT_EQ(rig.form.ColumnLengthPixels.value(), 800);
    EXPECT_EQ(rig.form.numberofprintedpages.value(), 9);
    EXPECT_EQ(rig.form.Panel1.text(), kNoRowText);
}

TEST(DegenerateGeometry, CountsStillBeingTypedAreLeftForTheClamp) {
    Rig rig;
    rig.nudge();
    rig.form.Panel1.setText("marker");
    rig.form.Numberofcolumnsperprintedpage.typeText("0");
    rig.form.ColumnLengthPages.typeText("0");
    EXPECT_EQ(rig.form.Panel1.text(), "marker");
    rig.form.Numberofcolumnsperprintedpage.focusLost();
    EXPECT_EQ(rig.form.Numberofcolumnsperprintedpage.value(), 1);
    EXPECT_NE(rig.form.Panel1.text(), "marker");
}

// ---------------------------------------------------------------- composition values

TEST(CompositionGeometry, DerivedValuesAndRefusals) {
    layout::LayoutInputs in;
    in.printedWidthMm = 210;
    in.printedHeightMm = 297;
    in.SelectedCount = 4;
    in.LargestWidth = 1000;
    in.LongestHeight = 1500;
    in.TotalWidth = 3602;
    in.CLP = 6945;
    in.N = 5;
    in.P = 2;
    in.leftext = 5;
    layout::LayoutNumbers n;
    n.InternalTopPx = 0;
    n.InternalBottomPx = 24;
    n.InternalRightPx = 24;
    auto g = layout::compositionGeometry(in, n);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->usableHeightMm, 294);
    EXPECT_EQ(g->usableWidthMm, 205);
    EXPECT_DOUBLE_EQ(g->columnContentMm, 205.0 / 5 - 1);
    EXPECT_EQ(g->F, 71);
    EXPECT_EQ(g->G, 125);  // round(5 x 1000 / 40)
    EXPECT_EQ(g->pageAreaWidth, 5 * 1024);
    EXPECT_EQ(g->targetHeight, 6945);
    in.fixedWidth = false;
    in.outputFormat = app::OutputFormat::Row;
    g = layout::compositionGeometry(in, n);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->pageAreaWidth, 5 * (901 + 24));  // trunc(900.5 + 0.5)
    EXPECT_EQ(g->targetHeight, 2 * (1500 + 24));
    in.rightint = 41;  // 41 - 0 - 41 = 0 mm per column
    EXPECT_FALSE(layout::compositionGeometry(in, n));
    in.rightint = 1;
    in.bottomext = 297;
    EXPECT_FALSE(layout::compositionGeometry(in, n));
}

// Each refusal is named by its first failing check; the two products that can
// outgrow 32 bits are refused rather than saturated, and a tie of an external
// border rounds to even.
TEST(CompositionGeometry, RefusalReasonsInCheckOrder) {
    using layout::CompositionRefusal;
    auto base = [] {
        layout::LayoutInputs in;
        in.SelectedCount = 2;
        in.LargestWidth = 1000;
        in.LongestHeight = 1500;
        in.TotalWidth = 2000;
        in.CLP = 2940;  // 10 px per mm over 294 mm
        in.N = 1;
        return in;
    };
    struct Row {
        const char* what;
        void (*change)(layout::LayoutInputs&);
        CompositionRefusal refusal;
    };
    const Row rows[] = {
        {"fine", [](layout::LayoutInputs&) {}, CompositionRefusal::None},
        {"no usable height, width too", [](layout::LayoutInputs& in) { in.topext = 300; in.leftext = 300; },
         CompositionRefusal::UsableHeight},
        {"no usable width", [](layout::LayoutInputs& in) { in.rightext = 210; }, CompositionRefusal::UsableWidth},
        {"no selection", [](layout::LayoutInputs& in) { in.SelectedCount = 0; }, CompositionRefusal::NoColumn},
        {"no column", [](layout::LayoutInputs& in) { in.N = 0; }, CompositionRefusal::NoColumn},
        {"no column content", [](layout::LayoutInputs& in) { in.leftint = 209; }, CompositionRefusal::ColumnContent},
        {"row target beyond 32 bits", [](layout::LayoutInputs& in) {
             in.outputFormat = app::OutputFormat::Row;
             in.P = 2000000;
         }, CompositionRefusal::TargetHeight},
        {"page area beyond 32 bits", [](layout::LayoutInputs& in) {
             in.LargestWidth = 2000000000;
             in.N = 2;
         }, CompositionRefusal::PageAreaWidth},
    };
    for (const Row& row : rows) {
        layout::LayoutInputs in = base();
        row.change(in);
        const layout::CompositionGeometryCheck c = layout::checkCompositionGeometry(in, layout::LayoutNumbers{});
        EXPECT_EQ(c.refusal, row.refusal) << row.what;
        EXPECT_EQ(layout::compositionGeometry(in, layout::LayoutNumbers{}).has_value(),
                  row.refusal == CompositionRefusal::None)
            << row.what;
    }
    layout::LayoutInputs in = base();
    in.outputFormat = app::OutputFormat::Row;
    in.P = 2000000;
    EXPECT_EQ(layout::checkCompositionGeometry(in, layout::LayoutNumbers{}).targetRows, 2000000LL * 1500);

    // 2 mm at 365 px over 292 mm is 2.5 px: the tie goes to 2, not 3;
    // 3 mm is 3.75 px and goes to 4.
    in = base();
    in.topext = 2;  // 297 - 2 - 3 = 292 mm usable
    in.CLP = 365;
    const auto g = layout::compositionGeometry(in, layout::LayoutNumbers{});
    ASSERT_TRUE(g);
    EXPECT_EQ(g->E, 2);
    EXPECT_EQ(g->F, 4);
}

}  // namespace
}  // namespace quillet::layouttest
