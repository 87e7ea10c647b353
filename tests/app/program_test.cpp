// Start-up, the bitmap list's click and change handling, and shutdown, through
// the Program and the scripted platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/help_window.h"
#include "program/installation.h"
#include "program/program.h"
#include "support/fake_platform.h"
#include "temp_dir.h"

namespace quillet::app {
namespace {

using test::TempDir;
using testing::FakePlatform;

struct ProgramTest : ::testing::Test {
    TempDir start;
    TempDir temp;
    FakePlatform fake;
    std::filesystem::path cwd = std::filesystem::current_path();

    ProgramTest() { fake.tempDir = temp.path(); }
    ~ProgramTest() override { std::filesystem::current_path(cwd); }

    // Records status writes and unlocks in the fake's log, in order with the
    // message boxes.
    void trace(Program& p) {
        p.form.Panel1.written.connect([&] { fake.log.push_back("panel " + p.form.Panel1.text()); });
        p.form.lockselection.onChange = [&] {
            fake.log.push_back(p.form.lockselection.checked() ? "lock" : "unlock");
        };
    }
};

TEST_F(ProgramTest, SevenWindowsInCreationOrderWithCaptionsAndVisibility) {
    Program p(fake, start.path(), "");
    struct W { const char* cls; const char* caption; bool visible; };
    const std::vector<W> expected{{"TForm1", "Quillet", true},
                                  {"Tsetpapersize", "Set Printed Size (mm)", false},
                                  {"Tsetbordersheadersfootersdialog",
                                   "Set Borders, Headers and Footers", false},
                                  {"Ttempform", "Viewer", true},
                                  {"Tcounterform", "counter", false},
                                  {"TTabbedNotebookDlg", "Justification", false},
                                  {"TForm2", "Help", false}};
    const auto windows = p.windows();
    ASSERT_EQ(windows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(windows[i]->className(), expected[i].cls) << i;
        EXPECT_EQ(windows[i]->caption(), expected[i].caption) << i;
        EXPECT_EQ(windows[i]->visible(), expected[i].visible) << i;
    }
    EXPECT_EQ(p.form.window.width(), 463);
    EXPECT_EQ(p.form.window.height(), 434);
    EXPECT_EQ(p.Form2.window.width(), 284);
    EXPECT_EQ(p.Form2.window.height(), 85);
    EXPECT_EQ(p.counterform.counterspinedit.value(), 1);
    EXPECT_EQ(p.counterform.counterspinedit.maximum(), 300);
}

TEST_F(ProgramTest, StartSelectsEveryBitmapAndWritesTheCounter) {
    struct Case { int bitmaps; const char* text; };
    // With a printer and on a machine without one.
    for (const bool printer : {true, false}) {
        if (!printer) fake.printer.reset();
        for (const Case& c : std::vector<Case>{{0, "No bitmaps selected."},
                                               {1, "1 bitmap selected."},
                                               {25, "25 bitmaps selected."}}) {
            TempDir dir;
            dir.writePages(c.bitmaps);
            Program p(fake, dir.path(), "");
            EXPECT_EQ(p.form.FileListBox1.count(), c.bitmaps);
            EXPECT_EQ(p.form.FileListBox1.selectedCount(), c.bitmaps);
            EXPECT_EQ(p.form.Panel1.text(), c.text) << printer;
            EXPECT_FALSE(p.form.LayoutHandlersEnabled);
        }
    }
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(ProgramTest, StartStateDefaultsLogoAndWorkingDirectory) {
    TempDir programDir;
    Program p(fake, start.path(), programDir.path());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(programDir.path()));
    EXPECT_EQ(p.form.directory(), start.path());  // the lists did not move
    EXPECT_EQ(p.tempform.ViewerBitmap.width(), 258);
    EXPECT_EQ(p.tempform.ViewerBitmap.height(), 71);
    EXPECT_FALSE(p.tempform.ViewerBitmap.monochrome());
    EXPECT_EQ(p.tempform.ViewerScale, 1);
    EXPECT_EQ(p.tempform.window.left(), 1024 - 258);
    EXPECT_EQ(p.tempform.window.top(), 0);
    EXPECT_EQ(p.tempform.window.width(), 258);
    EXPECT_EQ(p.form.compressionselection.itemIndex(), 0);
    EXPECT_EQ(p.pageTable.CompressionFactor[0], 1.0);
    EXPECT_FALSE(p.form.ZipListMode);
    EXPECT_FALSE(p.form.OutputDirectoryChosen);
}

TEST_F(ProgramTest, TwoRunsStartFromTheSameDefaults) {
    start.writePages(3);
    {
        Program first(fake, start.path(), "");
        first.form.Columnformat1.click();
        first.form.KeepQuilletontop1.click();
        first.form.Autocrop1.click();
        first.form.xpixelsperinch.setValue(300);
    }
    Program second(fake, start.path(), "");
    EXPECT_EQ(second.form.outputFormat, OutputFormat::Column);
    EXPECT_EQ(second.form.Columnformat1.caption(), "&Output in COLUMN Format");
    EXPECT_FALSE(second.form.KeepQuilletontop1.checked());
    EXPECT_FALSE(second.form.window.stayOnTop());
    EXPECT_TRUE(second.form.Autocrop1.checked());
    EXPECT_EQ(second.form.xpixelsperinch.value(), 600);
}

TEST_F(ProgramTest, FirstDirectoryChangeSelectsNothingTheSecondSelectsAll) {
    TempDir a, b;
    a.writePages(3);
    b.writePages(4);
    start.writePages(2);
    Program p(fake, start.path(), "");
    trace(p);
    p.form.lockselection.setChecked(true);

    p.form.changeDirectory(a.path());
    EXPECT_EQ(p.form.FileListBox1.count(), 3);
    EXPECT_EQ(p.form.FileListBox1.selectedCount(), 0);
    EXPECT_EQ(p.form.Panel1.text(), "No bitmaps selected.");
    EXPECT_TRUE(p.form.LayoutHandlersEnabled);
    EXPECT_FALSE(p.form.lockselection.checked());

    p.form.lockselection.setChecked(true);
    p.form.changeDirectory(b.path());
    EXPECT_EQ(p.form.FileListBox1.selectedCount(), 4);
    EXPECT_EQ(p.form.Panel1.text(), "4 bitmaps selected.");
    EXPECT_FALSE(p.form.lockselection.checked());

    // A directory without bitmaps: empty list, counter for none.
    TempDir empty;
    p.form.changeDirectory(empty.path());
    EXPECT_EQ(p.form.FileListBox1.count(), 0);
    EXPECT_EQ(p.form.Panel1.text(), "No bitmaps selected.");
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(ProgramTest, CtrlClickOfOneOfTenUnselectsItLoadsItAndUnlocks) {
    start.writePages(9);
    start.writeBitmap("page10.bmp", 40, 30);  // sorts second: page1, page10, page2 ...
    Program p(fake, start.path(), "");
    trace(p);
    p.form.lockselection.setChecked(true);
    fake.log.clear();

    p.form.FileListBox1.userClick(1, /*ctrl=*/true);
    EXPECT_EQ(p.form.FileListBox1.entry(1), "page10.bmp");
    EXPECT_FALSE(p.form.FileListBox1.selected(1));
    EXPECT_EQ(p.form.Panel1.text(), "9 bitmaps selected.");
    EXPECT_FALSE(p.form.lockselection.checked());
    EXPECT_EQ(p.tempform.ViewerBitmap.width(), 40);
    EXPECT_EQ(p.tempform.ViewerBitmap.height(), 30);
    EXPECT_EQ(p.tempform.window.width(), 40);  // the visible viewer took the new size
    // The click (unlock, counter) comes before the change it causes, which
    // keeps the user's selection because the list has the focus.
    ASSERT_GE(fake.log.size(), 2u);
    EXPECT_EQ(fake.log[0], "unlock");
    EXPECT_EQ(fake.log[1], "panel 9 bitmaps selected.");
    EXPECT_EQ(p.form.FileListBox1.selectedCount(), 9);
    EXPECT_GT(fake.paintRequests, 0);  // the counter is painted at once
}

TEST_F(ProgramTest, ClickedFileThatIsNotABitmapIsReportedAfterUnlockAndCounter) {
    start.writePages(2);
    start.writeText("broken.bmp", "BM but not really a bitmap");
    Program p(fake, start.path(), "");
    trace(p);
    p.form.lockselection.setChecked(true);
    p.tempform.window.moveTo(-50, -20);
    fake.log.clear();

    p.form.FileListBox1.userClick(0);  // broken.bmp sorts first
    ASSERT_EQ(p.form.FileListBox1.entry(0), "broken.bmp");
    ASSERT_EQ(fake.messages.size(), 1u);
    const MessageBoxRequest& box = fake.messages[0];
    EXPECT_EQ(box.kind, MessageKind::Error);
    EXPECT_EQ(box.caption, "Quillet");
    ASSERT_FALSE(box.text.empty());
    EXPECT_EQ(box.text.back(), '.');
    EXPECT_EQ(box.buttons, std::vector<Button>{Button::Ok});
    ASSERT_GE(fake.log.size(), 3u);
    EXPECT_EQ(fake.log[0], "unlock");
    EXPECT_EQ(fake.log[1], "panel 1 bitmap selected.");
    EXPECT_EQ(fake.log[2].rfind("box Quillet: ", 0), 0u) << fake.log[2];
    EXPECT_TRUE(p.tempform.ViewerBitmap.isEmpty());

    // The program goes on: the next click shows a good bitmap.
    p.form.FileListBox1.userClick(1);
    EXPECT_EQ(p.tempform.ViewerBitmap.width(), 8);
    EXPECT_EQ(p.tempform.window.left(), 0);  // negative edges moved to 0
    EXPECT_EQ(p.tempform.window.top(), 0);
}

TEST_F(ProgramTest, UnreadableDirectoryGivesEmptyListAndAClearError) {
    start.writePages(2);
    Program p(fake, start.path(), "");
    const std::string missing = start.file("gone");
    p.form.changeDirectory(missing);
    EXPECT_EQ(p.form.FileListBox1.count(), 0);
    EXPECT_EQ(p.form.Panel1.text(), "No bitmaps selected.");
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].kind, MessageKind::Error);
    EXPECT_NE(fake.messages[0].text.find(missing), std::string::npos) << fake.messages[0].text;

    // Starting in such a directory reports it too, and still starts.
    FakePlatform other;
    other.tempDir = temp.path();
    Program q(other, missing, "");
    EXPECT_EQ(q.form.Panel1.text(), "No bitmaps selected.");
    EXPECT_EQ(other.messages.size(), 1u);
}

TEST_F(ProgramTest, ZipListModeClickChangesNothingChangeStillUnlocks) {
    start.writePages(3);
    Program p(fake, start.path(), "");
    trace(p);
    int zipSteps = 0;
    p.bitmapList.onZipListChange = [&] { ++zipSteps; };
    p.form.ZipListMode = true;
    p.form.lockselection.setChecked(true);
    const std::string before = p.form.Panel1.text();

    p.bitmapList.FileListBox1Click();
    EXPECT_TRUE(p.form.lockselection.checked());
    EXPECT_EQ(p.form.Panel1.text(), before);

    p.bitmapList.FileListBox1Change();
    EXPECT_FALSE(p.form.lockselection.checked());
    EXPECT_TRUE(p.form.LayoutHandlersEnabled);
    EXPECT_EQ(zipSteps, 1);
    EXPECT_EQ(p.form.FileListBox1.selectedCount(), 3);  // start selection untouched
}

TEST_F(ProgramTest, DriveChangeMovesTheListToTheRootThenEnablesLayoutHandlers) {
    Program p(fake, start.path(), "");
    p.form.DriveComboBox1 = DriveList({"/", start.path()});
    p.form.DriveComboBox1.followDirectory(start.path());
    p.bitmapList.install();
    // Re-picking the drive shown changes nothing.
    p.form.DriveComboBox1.userSelect(1);
    EXPECT_EQ(p.form.directory(), start.path());
    EXPECT_FALSE(p.form.LayoutHandlersEnabled);

    p.form.DriveComboBox1.userSelect(0);
    EXPECT_EQ(p.form.directory(), "/");
    EXPECT_TRUE(p.form.LayoutHandlersEnabled);
    EXPECT_EQ(p.form.FileListBox1.selectedCount(), 0);  // the first change selects nothing

    // Once the handlers are on, a drive change comes up with everything
    // selected, even when the file list had the focus before.
    start.writePages(3);
    p.form.changeDirectory(start.path());
    p.form.FileListBox1.hasFocus = true;
    DriveList drives({"/", start.path()});
    p.form.DriveComboBox1 = drives;
    p.bitmapList.install();
    p.form.DriveComboBox1.userSelect(1);
    EXPECT_EQ(p.form.directory(), start.path());
    EXPECT_EQ(p.form.FileListBox1.selectedCount(), 3);
    EXPECT_EQ(p.form.Panel1.text(), "3 bitmaps selected.");
}

TEST_F(ProgramTest, ExitDeletesTheTemporaryFileQuietlyAndAsksToQuit) {
    int quits = 0;
    {
        Program p(fake, start.path(), "");
        p.quitRequested.connect([&] { ++quits; });
        temp.writeText("tempprev.bmp");
        p.form.Exit1.click();
        EXPECT_EQ(quits, 1);
        EXPECT_FALSE(std::filesystem::exists(temp.file("tempprev.bmp")));
        EXPECT_TRUE(p.tempform.ViewerBitmap.isEmpty());
    }
    {
        Program p(fake, start.path(), "");  // no temporary file: quiet
        p.form.Exit1.click();
    }
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(ProgramTest, HintsReachTheHelpWindowWithTabsAndBlanks) {
    Program p(fake, start.path(), "");
    p.hintChanged(p.form.lockselection.hint());
    EXPECT_EQ(p.Form2.memoText(),
              "\t\t\t\t       Check this after the internal bitmaps have been selected. You "
              "cannot refine your selection after it is checked without it automatically "
              "becoming unchecked. BE CAREFUL NOT TO ACCIDENTALLY DOUBLE-CLICK IT.");
    EXPECT_FALSE(p.Form2.window.visible());  // routed whether shown or not
    p.hintChanged(p.form.Print1.hint());
    EXPECT_EQ(p.Form2.memoText().substr(11, 26), "Prints a chosen bitmap or ");
}

// Qllet.txt, which the help window points to, is found beside the executable
// in the build folder and in the installed data folder of an installed tree.
TEST(InstallationDirectoryTest, HoldsQlletTxtInBuildAndInstalledTrees) {
    TempDir build;
    build.writeText("Qllet.txt", "introduction");
    EXPECT_EQ(installationDirectory(build.path()), build.path());

    TempDir prefix;
    prefix.makeDir("bin");
    prefix.makeDir("share/quillet");
    prefix.writeText("share/quillet/Qllet.txt", "introduction");
    const std::string installed = installationDirectory(prefix.file("bin"));
    EXPECT_TRUE(std::filesystem::equivalent(installed, prefix.file("share/quillet"))) << installed;
}

}  // namespace
}  // namespace quillet::app
