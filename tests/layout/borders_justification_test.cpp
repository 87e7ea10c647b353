// The borders dialog (width changes, font choice) and the justification
// dialog (menu pages, offsets).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/borders_dialog.h"
#include "layout/justification_dialog.h"
#include "layout_rig.h"
#include "support/fake_platform.h"

namespace quillet::layouttest {
namespace {

using layout::HorizontalJustification;
using layout::JustificationDialog;
using layout::VerticalJustification;

TEST(Borders, FontChoiceKeepsTypefaceAndStyleOnly) {
    testing::FakePlatform platform;
    app::MainForm form;
    layout::BordersDialog dialog;
    dialog.install(form, platform);
    app::FontChoice times;
    times.name = "Times New Roman";
    times.bold = false;
    times.italic = true;
    times.pointSize = 20;  // and red: the font dialog's colour is not taken either
    platform.fontAnswers.push_back(times);
    int fontSignals = 0;
    dialog.inthead.fontChanged.connect([&] { ++fontSignals; });

    dialog.textDoubleClick(dialog.inthead);

    ASSERT_EQ(platform.fontRequests.size(), 1u);
    EXPECT_EQ(platform.fontRequests[0].name, "Arial");  // loaded with the field's font
    EXPECT_TRUE(platform.fontRequests[0].bold);
    EXPECT_EQ(dialog.inthead.font.name, "Times New Roman");
    EXPECT_TRUE(dialog.inthead.font.italic);
    EXPECT_FALSE(dialog.inthead.font.bold);
    EXPECT_EQ(dialog.inthead.font.pointSize, 8);
    EXPECT_EQ(fontSignals, 1);
    EXPECT_EQ(dialog.intfoot.font, imaging::Font{});  // only the clicked field changes

    // Cancel changes nothing.
    dialog.textDoubleClick(dialog.extfoot);
    EXPECT_EQ(platform.fontRequests.size(), 2u);
    EXPECT_EQ(dialog.extfoot.font, imaging::Font{});
}

TEST(Borders, StartValuesAndHelpTexts) {
    layout::BordersDialog dialog;
    std::vector<int> values;
    for (auto* f : dialog.widthFields()) values.push_back(f->value());
    EXPECT_EQ(values, (std::vector<int>{0, 1, 0, 1, 0, 3, 0, 0}));
    for (auto* t : dialog.texts()) {
        EXPECT_EQ(t->font.name, "Arial");
        EXPECT_TRUE(t->font.bold);
        EXPECT_EQ(t->font.pointSize, 8);
        EXPECT_EQ(layout::BordersDialog::helpText(t->field.name()),
                  "Double-click to change the font and style.");
    }
    EXPECT_EQ(layout::BordersDialog::helpText("bottomint"),
              layout::BordersDialog::kTopBottomIntHelp);
    EXPECT_EQ(layout::BordersDialog::helpText("leftext"), layout::BordersDialog::kDialogHelp);
}

TEST(Borders, WidthChangeNudgesHorizontalFirst) {
    testing::FakePlatform platform;
    app::MainForm form;
    layout::BordersDialog dialog;
    dialog.install(form, platform);
    std::vector<std::string> writes;
    form.xpixelsperinch.onChange = [&] { writes.push_back("x" + form.xpixelsperinch.text()); };
    form.ypixelsperinch.onChange = [&] { writes.push_back("y" + form.ypixelsperinch.text()); };
    for (auto* f : dialog.widthFields()) {
        writes.clear();
        f->setValue(f->value() + 2);
        EXPECT_EQ(writes, (std::vector<std::string>{"x601", "x600", "y601", "y600"})) << f->name();
    }
    form.Setborders1.click();  // not wired in this test: nothing
    EXPECT_FALSE(dialog.window.visible());
    form.Setborders1.onClick = [&] { dialog.Setborders1Click(); };
    form.Setborders1.click();
    EXPECT_TRUE(dialog.window.visible());
}

TEST(Borders, WidthChangeRecomputesTheLayoutWhenLocked) {
    {
        Rig rig;
        testing::FakePlatform platform;
        rig.borders.install(rig.form, platform);
        rig.nudge();
        ASSERT_EQ(rig.form.ColumnLengthPixels.value(), 6945);
        rig.borders.bottomext.setValue(50);  // usable height 247 mm
        EXPECT_EQ(rig.form.ColumnLengthPixels.value(), 5835);  // half-up(600 / 25.4 x 247)
        EXPECT_EQ(rig.form.ypixelsperinch.value(), 600);
        EXPECT_EQ(rig.numbers.ExternalBottomPx, 1181);  // round(5835 / 247 x 50)
    }
    {
        Rig rig;
        testing::FakePlatform platform;
        rig.borders.install(rig.form, platform);
        rig.nudge();
        ASSERT_EQ(rig.form.Numberofcolumnsperprintedpage.value(), 5);
        rig.borders.leftext.setValue(50);  // usable width 160 mm
        EXPECT_EQ(rig.form.Numberofcolumnsperprintedpage.value(), 4);
        EXPECT_EQ(rig.form.xpixelsperinch.value(), 652);  // half-up(4 x 1026 / 160 x 25.4)
        EXPECT_EQ(rig.numbers.ExternalLeftPx, 1282);      // round(1000 / 39 x 50)
    }
}

TEST(Justification, MenuItemsTurnToTheirPage) {
    app::MainForm form;
    JustificationDialog dialog;
    dialog.install(form);
    int pageSignals = 0;
    dialog.pageChanged.connect([&] { ++pageSignals; });
    form.Setverticalpagejustification1.click();
    EXPECT_EQ(dialog.pageIndex, 1);
    EXPECT_TRUE(dialog.window.visible());
    form.Sethorizontalpagejustification1.click();
    EXPECT_EQ(dialog.pageIndex, 0);
    form.Setverticalpagejustification1.click();
    EXPECT_EQ(dialog.pageIndex, 1);
    EXPECT_EQ(pageSignals, 3);
    dialog.showPage("HORIZONTAL JUSTIFICATION");
    EXPECT_EQ(dialog.pageIndex, 0);
    dialog.showPage("no such page");
    EXPECT_EQ(dialog.pageIndex, 0);
    EXPECT_STREQ(JustificationDialog::kPageCaptions[dialog.pageIndex], "Horizontal Justification");
    EXPECT_EQ(form.Setverticalpagejustification1.hint(), JustificationDialog::kVerticalItemHint);
}

TEST(Justification, Offsets) {
    const layout::JustificationOptions fixedNoStretch{true, false, true, false};
    struct Row {
        HorizontalJustification h;
        VerticalJustification v;
        layout::JustificationOptions options;
        int spareW, spareH;
        int x, y;
    };
    const auto C = HorizontalJustification::Centre, L = HorizontalJustification::Left,
               Rt = HorizontalJustification::Right;
    const auto B = VerticalJustification::Bottom, T = VerticalJustification::Top,
               M = VerticalJustification::Centre;
    const std::vector<Row> rows = {
        {C, B, fixedNoStretch, 40, 30, 20, 30},
        {C, B, fixedNoStretch, 41, 30, 20, 30},  // halving toward zero
        {Rt, M, fixedNoStretch, 41, 31, 41, 15},
        {L, T, fixedNoStretch, 41, 31, 0, 0},
        {C, B, {true, false, true, true}, 40, 30, 20, 0},   // stretched height fills its place
        {C, B, {true, true, true, false}, 40, 30, 0, 30},   // stretched width
        {C, B, {false, false, false, false}, 40, 30, 0, 0}, // no fixed size: place cut to page
    };
    for (const auto& r : rows) {
        auto o = layout::justificationOffsets(r.h, r.v, r.options, 500 + r.spareW, 500, 800 + r.spareH,
                                              800);
        EXPECT_EQ(o.x, r.x) << r.spareW;
        EXPECT_EQ(o.y, r.y) << r.spareH;
    }
}

}  // namespace
}  // namespace quillet::layouttest
