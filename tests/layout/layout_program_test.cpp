// The layout dialogs and handlers as the running program wires them: start
// with the printer's size, the menu commands, and a lock of real pages whose
// layout follows the borders and the printed size.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "program/program.h"
#include "imaging/bmp_file.h"
#include "layout_rig.h"
#include "support/fake_platform.h"

namespace quillet::layouttest {
namespace {

struct ProgramRig : ::testing::Test {
    PlaceholderFolder pages{0};
    PlaceholderFolder temp{0};
    testing::FakePlatform fake;
    std::filesystem::path cwd = std::filesystem::current_path();
    std::unique_ptr<app::Program> program;

    ProgramRig() { fake.tempDir = temp.path(); }
    ~ProgramRig() override { std::filesystem::current_path(cwd); }

    // Pages of 60 x 80 pixels with a block of ink, as a scanner would give.
    void writePages(int n) {
        for (int i = 1; i <= n; ++i) {
            imaging::Bitmap b(60, 80);
            b.fillRect({4, 4, 56, 76}, imaging::kBlack);
            char name[32];
            std::snprintf(name, sizeof name, "page%03d.bmp", i);
            imaging::saveBmp(b, (std::filesystem::path(pages.path()) / name).string());
        }
    }
    app::Program& start() {
        program = std::make_unique<app::Program>(fake, pages.path(), "");
        return *program;
    }
};

TEST_F(ProgramRig, StartsWithThePrintersSizeAndTheMenusShowTheDialogs) {
    app::Program& p = start();
    EXPECT_EQ(p.setpapersize.SpinEdit1.value(), 203);
    EXPECT_EQ(p.setpapersize.SpinEdit2.value(), 289);
    EXPECT_EQ(p.form.Label5, "pixels/inch (PS)");
    EXPECT_EQ(p.setpapersize.ComboBox1.currentText(), "Page Size");

    p.form.Setpapersize1.click();
    EXPECT_TRUE(p.setpapersize.window.visible());
    p.form.Setborders1.click();
    EXPECT_TRUE(p.setbordersheadersfootersdialog.window.visible());
    p.form.Setverticalpagejustification1.click();
    EXPECT_TRUE(p.TabbedNotebookDlg.window.visible());
    EXPECT_EQ(p.TabbedNotebookDlg.pageIndex, 1);

    fake.printer = app::PrinterGeometry{190, 277, 0, 0};
    p.form.PrinterSetup1.click();
    EXPECT_EQ(fake.printerSetups, 1);
    EXPECT_EQ(p.setpapersize.SpinEdit1.value(), 190);
    EXPECT_EQ(p.setpapersize.SpinEdit2.value(), 277);
}

TEST_F(ProgramRig, LockedLayoutFollowsBordersAndPrintedSize) {
    writePages(3);
    app::Program& p = start();
    p.form.lockselection.click();
    ASSERT_TRUE(p.form.lockselection.checked());
    ASSERT_TRUE(p.form.LayoutHandlersEnabled);
    // Usable height 289 - 3 mm at 600 pixels per inch.
    const int clp = p.form.ColumnLengthPixels.value();
    EXPECT_EQ(clp, 6756);
    EXPECT_GT(p.layoutNumbers.ExternalPageWidthPx, 0);
    EXPECT_EQ(p.layoutNumbers.ExternalPageHeightPx, clp + p.layoutNumbers.ExternalBottomPx);

    // A wider external bottom border shortens the column at once.
    p.setbordersheadersfootersdialog.bottomext.setValue(53);  // usable 236 mm
    EXPECT_EQ(p.form.ColumnLengthPixels.value(), 5575);       // half-up(600 / 25.4 x 236)
    EXPECT_EQ(p.form.Panel1.text().substr(0, p.form.Panel1.text().find(',')),
              std::to_string(p.layoutNumbers.ExternalPageWidthPx));

    // A3 lengthens it: 420 - 53 mm.
    p.setpapersize.ComboBox1.userSelect(output::PrintedSizeDialog::kA3);
    EXPECT_EQ(p.form.ColumnLengthPixels.value(), 8669);  // half-up(600 / 25.4 x 367)
    EXPECT_EQ(p.form.Label5, "pixels/inch (A3)");
}

}  // namespace
}  // namespace quillet::layouttest
