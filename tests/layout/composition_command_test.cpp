// The OK command end to end on small pages: refusals, one page, the
// selection after a run, write and load failures, the closing steps.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>

#include "imaging/bitmap_error.h"
#include "layout/page_finisher.h"
#include "tests/layout/composition_rig.h"

namespace quillet::compositiontest {
namespace {

using app::MessageKind;

// The closing steps ran once: beep, normal cursor, window hidden and shown.
void expectClosingSteps(const Rig& rig) {
    EXPECT_EQ(rig.platform.beeps, 1);
    EXPECT_FALSE(rig.platform.busy);
    EXPECT_TRUE(rig.form.window.visible());
}

TEST(CompositionCommand, RefusesWithoutLockAndWritesNothing) {
    Rig rig;
    rig.addPage(makeTextPage({}, 1));
    rig.lock();
    rig.form.lockselection.setChecked(false);
    rig.press();
    EXPECT_EQ(rig.form.Panel1.text(), "You need to Lock the selection first.");
    EXPECT_EQ(rig.statusTexts, std::vector<std::string>{"You need to Lock the selection first."});
    EXPECT_EQ(rig.outputCount(), 0);
    EXPECT_TRUE(rig.platform.messages.empty());
    expectClosingSteps(rig);
    EXPECT_EQ(rig.platform.busyChanges, 1);  // only set back to normal
}

TEST(CompositionCommand, OneSmallPageGivesOnePageWithTheWholePageInItsFirstColumn) {
    Rig rig;
    const Bitmap page = makeTextPage({.width = 100, .height = 300}, 7);
    rig.addPage(page);
    rig.lock();
    rig.layoutFields(1000, 3);
    rig.borders.bottomext.setValue(3);  // external footer, F = round(3 x 1000 / 294) = 10
    rig.press();

    ASSERT_EQ(rig.folder.names(), (std::vector<std::string>{"1page.bmp", "in001.bmp"}));
    const Bitmap out = rig.output(1);
    EXPECT_EQ(out.width(), 3 * 100);
    EXPECT_EQ(out.height(), 1000 + 10);
    for (int y = 0; y < 300; ++y) ASSERT_EQ(rowWords(out, y, 0, 100), rowWords(page, y, 0, 100)) << "row " << y;
    // White elsewhere above the external footer.
    for (int y = 0; y < 1000; ++y)
        for (int x = (y < 300 ? 100 : 0); x < 300; ++x) ASSERT_FALSE(out.isBlack(x, y)) << x << "," << y;
    bool footerInk = false;
    for (int y = 1000; y < 1010; ++y) footerInk |= !rowBlank(out, y);
    EXPECT_TRUE(footerInk);
    EXPECT_EQ(rig.form.Panel1.text(), "Done. . .  saved 1 page.");
    EXPECT_EQ(rig.statusTexts.front(), "Please Wait.....");
    EXPECT_NE(std::find(rig.statusTexts.begin(), rig.statusTexts.end(), "Layout processing . . .  1/1 (in001.bmp)"),
              rig.statusTexts.end());
    EXPECT_TRUE(rig.platform.messages.empty());
    expectClosingSteps(rig);
}

// External header and footer: written only from 3 mm, centred on the
// finished page.
TEST(CompositionCommand, ExternalTextsFromThreeMillimetresCentredOnThePage) {
    for (const bool header : {false, true})
        for (const int mm : {2, 3}) {
            Rig rig;
            rig.addPage(makeTextPage({.width = 400, .height = 300}, 9));
            rig.lock();
            rig.layoutFields(3000, 1);
            (header ? rig.borders.topext : rig.borders.bottomext).setValue(mm);
            rig.press();
            const Bitmap out = rig.output(1);
            // The border's rows: E = F = round(mm x 3000 / (297 - mm)).
            const int border = int(std::nearbyint(mm * 3000.0 / (297 - mm)));
            ASSERT_EQ(out.height(), 3000 + border) << header << mm;
            const int y0 = header ? 0 : out.height() - border;
            int left = out.width(), right = -1;
            for (int y = y0; y < y0 + border; ++y)
                for (int x = 0; x < out.width(); ++x)
                    if (out.isBlack(x, y)) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            EXPECT_EQ(right >= 0, mm == 3) << header << mm;
            if (mm == 3) {
                EXPECT_LE(std::abs(left - (out.width() - 1 - right)), 8) << header;  // glyph bearings
            }
        }
}

TEST(CompositionCommand, SelectsExactlyThePagesOfThisRun) {
    Rig rig;
    for (int i = 0; i < 12; ++i) rig.addPage(makeTextPage({.width = 64, .height = 200}, 100 + i));
    imaging::saveBmp(Bitmap(8, 8), rig.folder.file("13page.bmp"));  // from an earlier run
    rig.lock();
    rig.layoutFields(200, 1);  // one page per column, one column per page
    rig.press();

    EXPECT_EQ(rig.composition.lastResult().pages, 12);
    EXPECT_EQ(rig.form.Panel1.text(), "Done. . .  saved 12 pages.");
    std::set<std::string> expected;
    for (int i = 1; i <= 12; ++i) expected.insert(std::to_string(i) + "page.bmp");
    const std::vector<std::string> selected = rig.form.FileListBox1.selectedNames();
    EXPECT_EQ(std::set<std::string>(selected.begin(), selected.end()), expected);
    EXPECT_EQ(selected.size(), 12u);
    // The list's own order puts 10page.bmp..12page.bmp before 1page.bmp.
    EXPECT_EQ(selected.front(), "10page.bmp");
}

TEST(CompositionCommand, NoRefreshWhenTheListShowsAnotherDirectory) {
    Rig rig;
    rig.addPage(makeTextPage({}, 3));
    rig.lock();
    rig.layoutFields(1000, 1);
    ScratchFolder out;
    rig.form.OutputDirectory = out.path();
    rig.form.OutputDirectoryChosen = true;
    rig.press();
    EXPECT_TRUE(out.exists("1page.bmp"));
    EXPECT_TRUE(rig.form.locked());  // the list was not re-read
    EXPECT_EQ(rig.form.FileListBox1.selectedNames(), std::vector<std::string>{"in001.bmp"});
}

TEST(CompositionCommand, WriteFailuresWarnPerPageAndTheEndTextSaysSo) {
    Rig rig;
    for (int i = 0; i < 3; ++i) rig.addPage(makeTextPage({.width = 64, .height = 200}, 10 + i));
    rig.lock();
    rig.layoutFields(200, 1);
    rig.numbers.ExternalPageWidthPx = 4096;
    rig.numbers.ExternalPageHeightPx = 4096;  // 16777216 bits: 2 MB + 1
    std::vector<std::string> attempted;
    rig.composition.saver = [&](const Bitmap& b, const std::string& path) {
        attempted.push_back(path);
        if (path.find("/2page.bmp") != std::string::npos) throw imaging::BitmapWriteError("No space left on device");
        imaging::saveBmp(b, path);
    };
    rig.press();

    EXPECT_EQ(attempted.size(), 3u);
    EXPECT_TRUE(rig.folder.exists("1page.bmp"));
    EXPECT_FALSE(rig.folder.exists("2page.bmp"));
    EXPECT_TRUE(rig.folder.exists("3page.bmp"));
    ASSERT_EQ(rig.platform.messages.size(), 1u);
    EXPECT_EQ(rig.platform.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(rig.platform.messages[0].text,
              "Write Error! You need at least 3MB free space on " + layout::mountPointOf(rig.folder.path()));
    EXPECT_EQ(rig.form.Panel1.text(), "Done. . .  saved 2 of 3 pages; 1 page could not be written.");
    // The failed page still counts: the selection holds the pages of the run
    // that exist.
    EXPECT_EQ(rig.form.FileListBox1.selectedNames(), (std::vector<std::string>{"1page.bmp", "3page.bmp"}));
    expectClosingSteps(rig);
}

TEST(CompositionCommand, EveryPageFailingGivesOneWarningEach) {
    Rig rig;
    for (int i = 0; i < 2; ++i) rig.addPage(makeTextPage({.width = 64, .height = 200}, 20 + i));
    rig.lock();
    rig.layoutFields(200, 1);
    rig.composition.saver = [](const Bitmap&, const std::string&) { throw imaging::BitmapWriteError("short write"); };
    rig.press();
    EXPECT_EQ(rig.platform.messages.size(), 2u);
    EXPECT_EQ(rig.form.Panel1.text(), "Done. . .  saved 0 of 2 pages; 2 pages could not be written.");
    EXPECT_EQ(rig.composition.lastResult().failed, 2);
}

// Output files that cannot be made at all: the run stops at the first page
// with the general error report naming the file and the cause, and the status
// panel says it stopped.
TEST(CompositionCommand, OutputThatCannotBeCreatedStopsWithAReportNamingTheFile) {
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        std::function<std::string(const std::string& folder)> prepare;  // the output directory
        const char* cause;
    };
    const Case cases[] = {
        {"missing directory", [](const std::string& f) { return f + "/missing"; }, "No such file or directory"},
        {"page name is a directory",
         [](const std::string& f) {
             fs::create_directories(f + "/out/1page.bmp");
             return f + "/out";
         },
         "Is a directory"},
        {"output path is a file", [](const std::string& f) { return f + "/in001.bmp"; }, "Not a directory"},
        {"temporary name past the path limit",
         [](const std::string& f) {
             std::string dir = f;
             while (dir.size() < 4080) dir += "/" + std::string(std::min<std::size_t>(200, 4080 - dir.size()), 'd');
             fs::create_directories(dir);
             return dir;
         },
         "File name too long"},
    };
    for (const Case& c : cases) {
        Rig rig;
        for (int i = 0; i < 2; ++i) rig.addPage(makeTextPage({.width = 64, .height = 200}, 30 + i));
        rig.lock();
        rig.layoutFields(200, 1);
        rig.form.OutputDirectory = c.prepare(rig.folder.path());
        rig.form.OutputDirectoryChosen = true;
        rig.press();
        ASSERT_EQ(rig.platform.messages.size(), 1u) << c.what;
        const auto& box = rig.platform.messages[0];
        EXPECT_EQ(box.kind, MessageKind::Error) << c.what;
        EXPECT_EQ(box.caption, "Quillet");
        const std::string file = rig.form.OutputDirectory + "/1page.bmp";
        EXPECT_EQ(box.text.rfind("Cannot save '" + file + "': ", 0), 0u) << box.text;
        EXPECT_NE(box.text.find(c.cause), std::string::npos) << box.text;
        EXPECT_EQ(rig.form.Panel1.text() + ".", "Stopped: " + box.text) << c.what;
        EXPECT_TRUE(rig.composition.lastResult().stopped);
        EXPECT_EQ(rig.composition.lastResult().pages, 1) << c.what;  // stopped at the first page
        expectClosingSteps(rig);
    }
}

TEST(CompositionCommand, PageThatCannotBeLoadedStopsBeforeAnyPageIsWritten) {
    Rig rig;
    for (int i = 0; i < 3; ++i) rig.addPage(makeTextPage({.width = 64, .height = 200}, 40 + i));
    rig.lock();
    rig.layoutFields(200, 1);
    std::filesystem::remove(rig.folder.file("in002.bmp"));
    rig.press();
    ASSERT_EQ(rig.platform.messages.size(), 1u);
    EXPECT_EQ(rig.platform.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(rig.outputCount(), 0);
    EXPECT_EQ(rig.form.Panel1.text() + ".", "Stopped: " + rig.platform.messages[0].text);
    EXPECT_NE(rig.form.Panel1.text().find("in002.bmp"), std::string::npos);
    expectClosingSteps(rig);
}

TEST(CompositionCommand, RefusesBaseFileNamesOutsideTheOutputDirectory) {
    for (const std::string base : {"", ".", "..", "../up", "sub/page", "/tmp/x"}) {
        Rig rig;
        rig.addPage(makeTextPage({}, 5));
        rig.lock();
        rig.layoutFields(1000, 1);
        rig.form.filename.setText(base);
        rig.press();
        ASSERT_EQ(rig.platform.messages.size(), 1u) << base;
        EXPECT_EQ(rig.platform.messages[0].kind, MessageKind::Warning) << base;
        EXPECT_EQ(rig.folder.names(), std::vector<std::string>{"in001.bmp"}) << base;
        EXPECT_FALSE(std::filesystem::exists(rig.folder.path() + "/sub")) << base;
        EXPECT_EQ(rig.platform.busyChanges, 1) << base;  // never busy
        expectClosingSteps(rig);
    }
    EXPECT_TRUE(layout::checkBaseFileName(std::string("a\0b", 3)).has_value());
    EXPECT_TRUE(layout::checkBaseFileName(std::string(250, 'x')).has_value());
    EXPECT_FALSE(layout::checkBaseFileName(std::string(240, 'x')).has_value());
    EXPECT_FALSE(layout::checkBaseFileName("page").has_value());
    EXPECT_FALSE(layout::checkBaseFileName("chapter 4 ").has_value());
}

TEST(CompositionCommand, RefusesSettingsThatLeaveNoRoom) {
    struct Case {
        const char* what;
        int topext, bottomext, leftext, rightext, leftint, rightint, columns;
    };
    for (const Case c : {Case{"no usable height", 150, 147, 0, 0, 0, 0, 1},
                         Case{"negative usable height", 200, 200, 0, 0, 0, 0, 1},
                         Case{"no usable width", 0, 0, 100, 110, 0, 0, 1},
                         Case{"no column width", 0, 0, 0, 0, 5, 5, 21},
                         Case{"negative column width", 0, 0, 0, 0, 60, 60, 2}}) {
        Rig rig;
        rig.addPage(makeTextPage({}, 6));
        rig.lock();
        rig.layoutFields(1000, c.columns);
        rig.borders.topext.setValue(c.topext);
        rig.borders.bottomext.setValue(c.bottomext);
        rig.borders.leftext.setValue(c.leftext);
        rig.borders.rightext.setValue(c.rightext);
        rig.borders.leftint.setValue(c.leftint);
        rig.borders.rightint.setValue(c.rightint);
        rig.press();
        ASSERT_EQ(rig.platform.messages.size(), 1u) << c.what;
        EXPECT_EQ(rig.platform.messages[0].kind, MessageKind::Warning) << c.what;
        EXPECT_NE(rig.platform.messages[0].text.find("No room"), std::string::npos) << c.what;
        EXPECT_EQ(rig.outputCount(), 0) << c.what;
        EXPECT_TRUE(rig.composition.lastResult().refused) << c.what;
        expectClosingSteps(rig);
    }
}

TEST(CompositionCommand, DoneTexts) {
    EXPECT_EQ(layout::doneText(1, 1), "Done. . .  saved 1 page.");
    EXPECT_EQ(layout::doneText(7, 7), "Done. . .  saved 7 pages.");
    EXPECT_EQ(layout::doneText(2, 1), "Done. . .  saved 1 of 2 pages; 1 page could not be written.");
}

TEST(CompositionCommand, WriteErrorTextUsesSixtyFourBitProduct) {
    EXPECT_EQ(layout::writeErrorText(60000, 60000, "/mnt/x"),
              "Write Error! You need at least 430MB free space on /mnt/x");
    EXPECT_EQ(layout::mountPointOf("/"), "/");
    EXPECT_EQ(layout::mountPointOf(""), "/");
}

}  // namespace
}  // namespace quillet::compositiontest
