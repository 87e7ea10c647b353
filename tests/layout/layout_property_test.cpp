// Random sequences of field writes (typed text too), option toggles, border
// and printed size changes on random page statistics: the handlers always
// end, and every field stays within its range.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "layout/layout_geometry.h"
#include "layout_rig.h"
#include "support/fake_platform.h"

namespace quillet::layouttest {
namespace {

struct Range {
    app::NumberField* field;
    int lo, hi;
};

TEST(LayoutProperty, RandomSequencesStayInRangeAndEnd) {
    Rig rig(6);
    testing::FakePlatform platform;
    rig.size.install(rig.form, platform);
    rig.borders.install(rig.form, platform);
    auto& f = rig.form;

    // Count handler runs per step: a runaway chain would show here long
    // before it exhausted the stack.
    long runs = 0;
    std::vector<app::NumberField*> layoutFields = {&f.ColumnLengthPixels, &f.ColumnLengthPages,
                                                   &f.Numberofcolumnsperprintedpage,
                                                   &f.xpixelsperinch, &f.ypixelsperinch};
    for (auto* fld : layoutFields) {
        auto inner = fld->onChange;
        fld->onChange = [&runs, inner] {
            ++runs;
            inner();
        };
    }
    const std::vector<Range> ranges = {
        {&f.ColumnLengthPixels, 1, 32000}, {&f.ColumnLengthPages, 1, 99},
        {&f.Numberofcolumnsperprintedpage, 1, 99}, {&f.numberofprintedpages, 1, 300},
        {&f.xpixelsperinch, 0, 99999}, {&f.ypixelsperinch, 0, 99999},
        {&rig.size.SpinEdit1, 10, 999}, {&rig.size.SpinEdit2, 10, 999}};

    std::mt19937 rng(20261208);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto randomText = [&]() -> std::string {
        switch (pick(0, 7)) {
            case 0: return "abc";
            case 1: return "";
            case 2: return "12x";
            case 3: return "-" + std::to_string(pick(0, 500));
            case 4: return std::to_string(pick(0, 99999));
            default: return std::to_string(pick(0, 3000));
        }
    };
    auto randomStatistics = [&] {
        auto& t = rig.table;
        int n = std::max(1, f.FileListBox1.selectedCount());
        t.LargestWidth = pick(0, 20) == 0 ? 0 : pick(1, 6000);
        t.LongestHeight = pick(0, 20) == 0 ? 0 : pick(1, 9000);
        t.TotalLines = int(std::uniform_int_distribution<long>(0, long(n) * t.LongestHeight)(rng));
        t.TotalWidth = int(std::uniform_int_distribution<long>(0, long(n) * t.LargestWidth)(rng));
        for (int i = 1; i < 4; ++i)
            t.CompressionFactor[std::size_t(i)] =
                pick(0, 3) == 0 ? 1.0 : std::uniform_real_distribution<double>(0.2, 1.0)(rng);
    };
    auto border = [&]() {
        int roll = pick(0, 29);
        if (roll == 0) return 99999;
        if (roll < 3) return pick(13, 400);
        return pick(0, 6);
    };

    // The sequence must reach both computed layouts and refusals.
    int sizeLines = 0, noRoom = 0, noRow = 0;
    for (int step = 0; step < 4000; ++step) {
        runs = 0;
        app::NumberField& target = *layoutFields[std::size_t(pick(0, 4))];
        switch (pick(0, 11)) {
            case 0:
            case 1:
            case 2:
                target.typeText(randomText());
                target.focusLost();
                break;
            case 3: target.setValue(pick(-10, 100000)); break;
            case 4: pick(0, 1) ? target.stepUp() : target.stepDown(); break;
            case 5:
                switch (pick(0, 3)) {
                    case 0: f.Fixpagesizetolongestwidth1.setChecked(!f.Fixpagesizetolongestwidth1.checked()); break;
                    case 1: f.Fixpagesizetolongestheight1.setChecked(!f.Fixpagesizetolongestheight1.checked()); break;
                    case 2: f.outputFormat = f.outputFormat == app::OutputFormat::Row ? app::OutputFormat::Column : app::OutputFormat::Row; break;
                    default: f.compressionselection.setItemIndex(pick(0, 3)); break;
                }
                rig.nudge();
                break;
            case 6:
            case 7: rig.borders.widthFields()[std::size_t(pick(0, 7))]->setValue(border()); break;
            case 8:
                switch (pick(0, 3)) {
                    case 0: rig.size.SpinEdit1.typeText(randomText()); rig.size.SpinEdit1.focusLost(); break;
                    case 1: rig.size.SpinEdit2.typeText(randomText()); rig.size.SpinEdit2.focusLost(); break;
                    case 2: rig.size.ComboBox1.userSelect(pick(0, 4)); break;
                    default:
                        if (pick(0, 3) == 0) platform.printer.reset();
                        else platform.printer = app::PrinterGeometry{pick(0, 1200), pick(0, 1200), 0, 0};
                        rig.size.PrinterSetup1Click();
                }
                break;
            case 9:
                randomStatistics();
                rig.nudge();
                break;
            case 10:
                for (int i = 0; i < f.FileListBox1.count(); ++i)
                    f.FileListBox1.setSelected(i, pick(0, 5) != 0);
                rig.nudge();
                break;
            default:
                f.lockselection.setChecked(pick(0, 4) != 0);
                break;
        }
        ASSERT_LT(runs, 2000) << "step " << step;
        ASSERT_TRUE(f.LayoutHandlersEnabled) << "step " << step;
        for (const auto& r : ranges) {
            ASSERT_GE(r.field->value(), r.lo) << r.field->name() << " step " << step;
            ASSERT_LE(r.field->value(), r.hi) << r.field->name() << " step " << step;
        }
        ASSERT_GE(f.ColumnLengthPixels.minimum(), 1);
        ASSERT_LE(f.ColumnLengthPixels.minimum(), 32000);
        ASSERT_GE(f.ypixelsperinch.minimum(), 0);
        ASSERT_LE(f.ypixelsperinch.minimum(), 99999);
        ASSERT_GE(f.xpixelsperinch.step(), 1);
        // A size line always describes the layout numbers as they stand.
        const std::string& panel = f.Panel1.text();
        noRoom += panel == layout::kNoRoomText;
        noRow += panel == layout::kNoRowText;
        if (!panel.empty() && panel[0] >= '0' && panel[0] <= '9') {
            ++sizeLines;
            ASSERT_EQ(panel, layout::sizeLine(rig.numbers.ExternalPageWidthPx,
                                              rig.numbers.ExternalPageHeightPx,
                                              f.numberofprintedpages.value()))
                << "step " << step;
        }
    }
    EXPECT_GT(sizeLines, 400);
    EXPECT_GT(noRoom, 40);
    EXPECT_GT(noRow, 5);
}

}  // namespace
}  // namespace quillet::layouttest
