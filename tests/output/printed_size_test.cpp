// The printed size dialog: choices, the size field rule, the printer refresh
// and the layout nudges that every size change makes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_form.h"
#include "output/printed_size_dialog.h"
#include "support/fake_platform.h"

namespace quillet::output {
namespace {

struct Dialog {
    Dialog() {
        // Record every write of the resolutions (the layout nudges).
        form.xpixelsperinch.onChange = [this] { nudges.push_back("x" + form.xpixelsperinch.text()); };
        form.ypixelsperinch.onChange = [this] { nudges.push_back("y" + form.ypixelsperinch.text()); };
    }
    void create() { dialog.install(form, platform); }

    testing::FakePlatform platform;  // printable area 203 x 289 mm
    app::MainForm form;
    PrintedSizeDialog dialog;
    std::vector<std::string> nudges;
};

TEST(PrintedSize, StartsWithThePrintersPrintableArea) {
    Dialog d;
    int labelWrites = 0;
    d.form.labelsChanged.connect([&] { ++labelWrites; });
    d.create();
    EXPECT_EQ(d.dialog.SpinEdit1.value(), 203);
    EXPECT_EQ(d.dialog.SpinEdit2.value(), 289);
    EXPECT_EQ(d.dialog.ComboBox1.currentText(), "Page Size");
    EXPECT_EQ(d.form.Label5, "pixels/inch (PS)");
    EXPECT_GE(labelWrites, 1);
    EXPECT_TRUE(d.dialog.SizeEditByUser);
    EXPECT_FALSE(d.dialog.window.visible());
}

TEST(PrintedSize, StandardChoicesSetBothSizesAndKeepTheChoice) {
    struct Row { int index; int w, h; const char* label; };
    for (Row r : {Row{0, 148, 210, "pixels/inch (A5)"}, Row{1, 210, 297, "pixels/inch (A4)"},
                  Row{2, 297, 420, "pixels/inch (A3)"}}) {
        Dialog d;
        d.create();
        d.dialog.ComboBox1.userSelect(r.index);
        EXPECT_EQ(d.dialog.SpinEdit1.value(), r.w);
        EXPECT_EQ(d.dialog.SpinEdit2.value(), r.h);
        EXPECT_EQ(d.dialog.ComboBox1.itemIndex(), r.index);  // not switched to User Defined
        EXPECT_EQ(d.form.Label5, r.label);
    }
}

TEST(PrintedSize, TypingASizeMakesItUserDefined) {
    Dialog d;
    d.create();
    d.dialog.ComboBox1.userSelect(PrintedSizeDialog::kA3);
    d.dialog.SpinEdit1.typeText("250");
    EXPECT_EQ(d.dialog.SpinEdit1.value(), 250);
    EXPECT_EQ(d.dialog.SpinEdit2.value(), 420);
    EXPECT_EQ(d.dialog.ComboBox1.currentText(), "User Defined");
    EXPECT_EQ(d.form.Label5, "pixels/inch(UD)");
}

TEST(PrintedSize, PickingUserDefinedLeavesTheSizes) {
    Dialog d;
    d.create();
    d.dialog.ComboBox1.userSelect(PrintedSizeDialog::kUserDefined);
    EXPECT_EQ(d.dialog.SpinEdit1.value(), 203);
    EXPECT_EQ(d.dialog.SpinEdit2.value(), 289);
    EXPECT_EQ(d.form.Label5, "pixels/inch(UD)");
}

TEST(PrintedSize, ValuesBelowTenBecomeTen) {
    Dialog d;
    d.create();
    d.dialog.SpinEdit2.typeText("5");
    d.dialog.SpinEdit2.focusLost();
    EXPECT_EQ(d.dialog.SpinEdit2.text(), "10");
    d.dialog.SpinEdit1.setValue(0);
    EXPECT_EQ(d.dialog.SpinEdit1.text(), "10");
    EXPECT_EQ(d.dialog.ComboBox1.itemIndex(), PrintedSizeDialog::kUserDefined);
}

TEST(PrintedSize, TypingDigitByDigitKeepsTheNumberTyped) {
    Dialog d;
    d.create();
    d.dialog.ComboBox1.userSelect(PrintedSizeDialog::kA4);
    for (const char* keystrokes : {"2", "25", "250"}) d.dialog.SpinEdit1.typeText(keystrokes);
    d.dialog.SpinEdit1.focusLost();
    EXPECT_EQ(d.dialog.SpinEdit1.text(), "250");
    EXPECT_EQ(d.dialog.ComboBox1.currentText(), "User Defined");
    EXPECT_EQ(d.form.Label5, "pixels/inch(UD)");
}

TEST(PrintedSize, PrinterSetupRefreshesOnlyPageSize) {
    Dialog d;
    d.create();
    d.dialog.ComboBox1.userSelect(PrintedSizeDialog::kA4);
    d.platform.printer = app::PrinterGeometry{280, 190, 0, 0};  // landscape now
    d.form.PrinterSetup1.onClick = [&] { d.dialog.PrinterSetup1Click(); };
    d.form.PrinterSetup1.click();
    EXPECT_EQ(d.platform.printerSetups, 1);
    EXPECT_EQ(d.dialog.SpinEdit1.value(), 210);
    EXPECT_EQ(d.dialog.SpinEdit2.value(), 297);

    d.dialog.ComboBox1.userSelect(PrintedSizeDialog::kPageSize);
    d.platform.printer = app::PrinterGeometry{1200, 190, 0, 0};
    d.form.PrinterSetup1.click();
    EXPECT_EQ(d.platform.printerSetups, 2);
    EXPECT_EQ(d.dialog.SpinEdit1.value(), 999);  // larger areas are held at 999
    EXPECT_EQ(d.dialog.SpinEdit2.value(), 190);
    EXPECT_EQ(d.dialog.ComboBox1.currentText(), "Page Size");  // a refresh is no user edit
    EXPECT_EQ(d.form.Label5, "pixels/inch (PS)");
}

TEST(PrintedSize, WithoutAPrinterTheSizesStayAndThePanelSaysSoOnceShown) {
    Dialog d;
    d.platform.printer.reset();
    d.form.Panel1.setText("3 bitmaps selected.");
    d.create();
    EXPECT_EQ(d.dialog.SpinEdit1.value(), 210);
    EXPECT_EQ(d.dialog.SpinEdit2.value(), 297);
    EXPECT_EQ(d.form.Panel1.text(), "3 bitmaps selected.");  // creation keeps the counter
    EXPECT_EQ(d.dialog.ComboBox1.currentText(), "Page Size");
    d.dialog.Setpapersize1Click();
    EXPECT_EQ(d.form.Panel1.text(), "No printer installed: the printed size stays 210 x 297 mm");
    // Later refreshes keep whatever size is set.
    d.dialog.ComboBox1.userSelect(PrintedSizeDialog::kA3);
    d.dialog.ComboBox1.userSelect(PrintedSizeDialog::kPageSize);
    EXPECT_EQ(d.dialog.SpinEdit1.value(), 297);
    EXPECT_EQ(d.dialog.SpinEdit2.value(), 420);
    EXPECT_EQ(d.form.Panel1.text(), "No printer installed: the printed size stays 297 x 420 mm");
}

TEST(PrintedSize, EverySizeChangeNudgesVerticalFirst) {
    Dialog d;
    d.create();
    d.nudges.clear();
    d.dialog.SpinEdit1.typeText("250");
    EXPECT_EQ(d.nudges, (std::vector<std::string>{"y601", "y600", "x601", "x600"}));
    // A choice writes both fields: two nudges.
    d.nudges.clear();
    d.dialog.ComboBox1.userSelect(PrintedSizeDialog::kA4);
    EXPECT_EQ(d.nudges.size(), 8u);
}

TEST(PrintedSize, MenuShowsTheDialog) {
    Dialog d;
    d.create();
    d.form.Setpapersize1.onClick = [&] { d.dialog.Setpapersize1Click(); };
    d.form.Setpapersize1.click();
    EXPECT_TRUE(d.dialog.window.visible());
    EXPECT_EQ(d.form.Setpapersize1.hint(), PrintedSizeDialog::kSetpapersize1Hint);
}

}  // namespace
}  // namespace quillet::output
