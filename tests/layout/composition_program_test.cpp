// The OK button of the running program: the real lock measures the pages,
// OK composes them, and the refreshed list selects the pages just written.

#include <gtest/gtest.h>

#include "program/program.h"
#include "tests/layout/composition_rig.h"

namespace quillet::compositiontest {
namespace {

TEST(CompositionProgram, LockThenOkWritesAndSelectsTheNewPages) {
    ensureGuiApplication();
    ScratchFolder folder;
    for (int i = 0; i < 3; ++i)
        imaging::saveBmp(makeTextPage({.width = 200, .height = 300, .topMargin = 20, .bottomMargin = 30}, 50 + i),
                         folder.file("scan" + std::to_string(i) + ".bmp"));
    testing::FakePlatform platform;
    app::Program program(platform, folder.path(), "");
    app::MainForm& form = program.form;
    form.FileListBox1.userSelectionChanged({0, 1, 2}, 0);  // as the user selects
    form.lockselection.setChecked(true);
    ASSERT_TRUE(form.locked()) << form.Panel1.text();

    form.Button1.click();
    EXPECT_EQ(form.Panel1.text(), "Done. . .  saved 1 page.");
    EXPECT_TRUE(folder.exists("1page.bmp"));
    EXPECT_FALSE(form.locked());  // the list was re-read
    EXPECT_EQ(form.FileListBox1.selectedNames(), std::vector<std::string>{"1page.bmp"});
    const Bitmap out = imaging::loadBmp(folder.file("1page.bmp"));
    EXPECT_EQ(out.width(), program.layoutNumbers.ExternalPageWidthPx);
    EXPECT_EQ(out.height(), program.layoutNumbers.ExternalPageHeightPx);
    for (const auto& m : platform.messages) ADD_FAILURE() << m.caption << ": " << m.text;
}

}  // namespace
}  // namespace quillet::compositiontest
