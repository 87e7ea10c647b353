// Printing and the print preview: the printed size in device pixels, the
// preview's proportions, Thick Print on the packed store, and both commands
// through the running program and the scripted platform.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "imaging/bmp_file.h"
#include "output/preview_command.h"
#include "output/print_command.h"
#include "output/thickening.h"
#include "program/program.h"
#include "support/bitmap_text.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace quillet::output {
namespace {

using app::Button;
using imaging::Bitmap;
using imaging::Size;
using test::bitmapFromRows;

TEST(PrintedPixels, PrinterPixelsPerMillimetreRoundedHalvesToEven) {
    struct Case { app::PrinterGeometry printer; int wMm, hMm; Size expected; };
    const Case cases[] = {
        // Page Size: exactly HORZRES x VERTRES.
        {{203, 290, 9583, 13699}, 203, 290, {9583, 13699}},
        {{203, 289, 4794, 6826}, 203, 289, {4794, 6826}},
        {{197, 271, 4654, 6402}, 197, 271, {4654, 6402}},
        // 100 x 100 mm at 600 dpi: about 2362 square.
        {{203, 289, 4795, 6826}, 100, 100, {2362, 2362}},
        // 2.5 pixels per millimetre: 12.5 -> 12, 7.5 -> 8.
        {{2, 2, 5, 5}, 5, 3, {12, 8}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(printedPixels(c.printer, c.wMm, c.hMm), c.expected) << c.wMm << "x" << c.hMm;
}

TEST(PreviewSize, OneSideKeptTheOtherToThePrintedProportions) {
    struct Case { int w, h, wMm, hMm; Size expected; };
    const Case cases[] = {
        {2000, 3000, 210, 297, {2121, 3000}},
        {3000, 1000, 210, 297, {3000, 4243}},
        {2000, 3000, 200, 300, {2000, 3000}},
        {1, 1, 10, 999, {1, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(previewSize(c.w, c.h, c.wMm, c.hMm), c.expected) << c.w << "x" << c.h;
}

TEST(Thickening, ADotBecomesAnLAndNothingLinesTheEdges) {
    struct Case { std::vector<std::string> source, canvas; };
    const Case cases[] = {
        // Inside: the L right, below and diagonally; its own place white.
        {{"....", ".#..", "....", "...."}, {".....", "..#..", ".##..", ".....", "....."}},
        // At the top-left corner.
        {{"#...", "....", "....", "...."}, {".#...", "##...", ".....", ".....", "....."}},
        // At the bottom-right corner: the L reaches one pixel past the
        // bitmap; no outline along column w or row h.
        {{"....", "....", "....", "...#"}, {".....", ".....", ".....", "....#", "...##"}},
        // A canvas of the bitmap's own size (the preview) cuts the L there.
        {{"...", "...", "..#"}, {"...", "...", "..."}},
        {{"#..", "...", "..."}, {".#.", "##.", "..."}},
    };
    for (const Case& c : cases) {
        const Bitmap source = bitmapFromRows(c.source);
        const int cw = int(c.canvas.front().size()), ch = int(c.canvas.size());
        Bitmap canvas(cw, ch);
        canvas.fillRect({0, 0, cw, ch}, imaging::kBlack);  // the white fill must clear it
        thicken(canvas, source, source.width(), source.height());
        test::expectBitmapsEqual(canvas, bitmapFromRows(c.canvas));
    }
}

TEST(Thickening, EqualsTheUnionOfThreeShiftedStretchesForAnySizes) {
    std::mt19937 rng(9);
    for (int round = 0; round < 60; ++round) {
        const int sw = 1 + int(rng() % 150), sh = 1 + int(rng() % 40);
        const int w = 1 + int(rng() % 200), h = 1 + int(rng() % 50);
        Bitmap source(sw, sh);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) source.setBlack(x, y, rng() % 7 == 0);
        const int cw = w + int(rng() % 2), ch = h + int(rng() % 2);
        // The definition: three stretched copies ANDed onto white.
        Bitmap expected(cw, ch);
        const imaging::Rect whole{0, 0, sw, sh};
        expected.copyRect({1, 1, w + 1, h + 1}, source, whole, imaging::CopyMode::And);
        expected.copyRect({1, 0, w + 1, h}, source, whole, imaging::CopyMode::And);
        expected.copyRect({0, 1, w, h + 1}, source, whole, imaging::CopyMode::And);
        Bitmap canvas(cw, ch);
        thicken(canvas, source, w, h);
        test::expectBitmapsEqual(canvas, expected);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << sw << "x" << sh << " -> " << w << "x" << h << " on " << cw << "x" << ch;
            return;
        }
    }
}

TEST(DevicePage, StretchedToThePrintedSizeFromTheTopLeft) {
    // A 3 x 1 bitmap with ink at its ends onto a 6 x 4 printed size in a
    // 9 x 6 printable area: proportions are not kept.
    const Bitmap source = bitmapFromRows({"#.#"});
    test::expectBitmapsEqual(devicePage(source, {6, 4}, {9, 6}, false).bitmap,
                             bitmapFromRows({"##..##", "##..##", "##..##", "##..##"}));
    // Thick Print reaches one pixel further, within the printable area.
    test::expectBitmapsEqual(devicePage(source, {6, 4}, {9, 6}, true).bitmap,
                             bitmapFromRows({".##..##", "###.###", "###.###", "###.###", "###.###"}));
    const DevicePage full = devicePage(source, {9, 6}, {9, 6}, true);
    EXPECT_EQ((Size{full.bitmap.width(), full.bitmap.height()}), (Size{9, 6}));
    EXPECT_EQ(full.onPaper, (Size{9, 6}));
}

TEST(DevicePage, AColourPageHasNoMorePixelsThanItsSource) {
    // A small colour bitmap is stretched by the printer, not in memory; one
    // larger than the printed size is shrunk to it.
    struct Case { Size source, printed; bool thick; Size page, onPaper; };
    const Case cases[] = {
        {{203, 301}, {9583, 13699}, false, {203, 301}, {9583, 13699}},
        {{203, 301}, {9583, 13699}, true, {204, 302}, {9630, 13745}},
        {{500, 40}, {100, 4000}, false, {100, 40}, {100, 4000}},
        {{500, 40}, {100, 4000}, true, {100, 41}, {100, 4100}},  // the printable area ends at 100
    };
    for (const Case& c : cases) {
        Bitmap source;
        source.setMonochrome(false);
        source.setSize(c.source.width, c.source.height);
        source.fillRect({0, 0, 1, 1}, imaging::kBlack);
        const DevicePage page = devicePage(source, c.printed, {c.printed.width, c.printed.height + 200}, c.thick);
        EXPECT_FALSE(page.bitmap.monochrome());
        EXPECT_EQ((Size{page.bitmap.width(), page.bitmap.height()}), c.page) << c.source.width << " " << c.thick;
        EXPECT_EQ(page.onPaper, c.onPaper) << c.source.width << " " << c.thick;
        EXPECT_EQ(page.bitmap.pixel(1, 1) == imaging::kBlack, c.thick) << c.source.width;  // the thickened dot
    }
}

// The running program over a folder of small pages, with a printer of
// 203 x 289 mm (4794 x 6826 pixels).
struct PrintingProgram : ::testing::Test {
    testing::TempDir folder;
    testing::FakePlatform fake;
    std::unique_ptr<app::Program> program;

    void start(int pages) {
        for (int i = 1; i <= pages; ++i) {
            Bitmap b(40, 60);
            b.fillRect({0, 0, 5, 5}, imaging::kBlack);
            imaging::saveBmp(b, folder.file("p" + std::to_string(i) + ".bmp"));
        }
        fake.tempDir = folder.path();
        program = std::make_unique<app::Program>(fake, folder.path(), "");
        program->form.Panel1.written.connect([this] { texts.push_back(program->form.Panel1.text()); });
    }
    app::MainForm& form() { return program->form; }
    std::vector<std::string> texts;
};

TEST_F(PrintingProgram, SelectedBitmapsOneJobEachWithTheirCounters) {
    start(3);
    texts.clear();
    program->tempform.setMode(ViewerMode::Preview);
    fake.buttonAnswers = {Button::Yes};
    form().Print1.click();
    ASSERT_EQ(fake.messageTexts(), std::vector<std::string>{PrintCommand::kPrintAllQuestion});
    EXPECT_EQ(fake.printedPages, (std::vector<Size>(3, Size{4794, 6826})));
    EXPECT_EQ(texts, (std::vector<std::string>{"", "Spooled to printer . . . 'p1.bmp' (1 of 3)",
                                               "Spooled to printer . . . 'p2.bmp' (2 of 3)",
                                               "Spooled to printer . . . 'p3.bmp' (3 of 3)"}));
    EXPECT_EQ(program->tempform.mode, ViewerMode::Normal);
}

TEST_F(PrintingProgram, AFailedJobIsReportedAndTheWalkGoesOn) {
    start(3);
    // The second job refused by the printer, or failing for want of memory
    // inside the print engine.
    for (const bool throws : {false, true}) {
        fake.messages.clear();
        fake.printedPages.clear();
        fake.buttonAnswers = {Button::Yes};
        fake.printAnswers = {true, throws, true};
        fake.onPrint = [&, job = 0](const Bitmap&) mutable {
            if (++job == 2 && throws) throw std::bad_alloc();
        };
        form().Print1.click();
        EXPECT_EQ(fake.printedPages.size(), 3u) << throws;
        ASSERT_EQ(fake.messages.size(), 2u) << throws;
        EXPECT_EQ(fake.messages[1].kind, app::MessageKind::Warning);
        EXPECT_EQ(fake.messages[1].text,
                  "Exception occurred! 'p2.bmp' not printed.\nUse a lower desktop colour depth. Use the "
                  "monochrome STANDARD VGA DRIVER for very large bitmaps!");
        EXPECT_EQ(form().Panel1.text(), "Spooled to printer . . . 'p3.bmp' (3 of 3)");
    }
}

TEST_F(PrintingProgram, PaperGuardAndTheSingleBitmapPath) {
    start(2);
    // A4 on a 203 x 289 mm printable area is refused before anything else.
    program->setpapersize.ComboBox1.userSelect(PrintedSizeDialog::kA4);
    form().Print1.click();
    EXPECT_EQ(fake.messageTexts(), std::vector<std::string>{PrintCommand::kPaperTooSmall});
    EXPECT_TRUE(fake.printedPages.empty());

    // 100 x 100 mm, locked selection: no question, the dialog in the output
    // directory with "*.bmp"; Cancel leaves an empty panel.
    fake.messages.clear();
    program->setpapersize.ComboBox1.userSelect(PrintedSizeDialog::kUserDefined);
    program->setpapersize.SpinEdit1.setValue(100);
    program->setpapersize.SpinEdit2.setValue(100);
    form().lockselection.setChecked(true);
    ASSERT_TRUE(form().locked());
    texts.clear();
    form().Print1.click();
    EXPECT_TRUE(fake.messages.empty());
    ASSERT_EQ(fake.openFileRequests.size(), 1u);
    EXPECT_EQ(fake.openFileRequests[0].directory, folder.path());
    EXPECT_EQ(fake.openFileRequests[0].fileName, "*.bmp");
    EXPECT_EQ(texts, (std::vector<std::string>{"", PrintCommand::kChooseOne, ""}));

    // A chosen file prints at 100 x 100 mm whatever its proportions.
    fake.openFileAnswers = {folder.file("p2.bmp")};
    form().Print1.click();
    EXPECT_EQ(fake.printedPages, (std::vector<Size>{Size{2362, 2362}}));
    EXPECT_EQ(form().Panel1.text(), "Spooled to printer . . . '" + folder.file("p2.bmp") + "'");
}

TEST_F(PrintingProgram, AFileThatCannotBeLoadedEndsThePrintWalk) {
    start(3);
    { std::ofstream(folder.file("p2.bmp")) << "not a bitmap"; }
    fake.buttonAnswers = {Button::Yes};
    form().Print1.click();
    EXPECT_EQ(fake.printedPages.size(), 1u);
    ASSERT_EQ(fake.messages.size(), 2u);
    EXPECT_EQ(fake.messages[1].kind, app::MessageKind::Error);
    EXPECT_EQ(form().Panel1.text(), "Spooled to printer . . . 'p1.bmp' (1 of 3)");
}

TEST_F(PrintingProgram, PreviewWalkCancelAfterTheFirstOfFive) {
    start(5);
    program->setpapersize.ComboBox1.userSelect(PrintedSizeDialog::kA4);
    program->tempform.window.moveTo(300, 200);
    bool previewModeSeen = false;
    fake.buttonAnswers = {Button::Yes, Button::Cancel};
    program->tempform.bitmapChanged.connect(
        [&] { previewModeSeen = previewModeSeen || program->tempform.mode == ViewerMode::Preview; });
    form().PrintPreview1.click();
    EXPECT_EQ(fake.messageTexts(),
              (std::vector<std::string>{"Do you want to preview the selected bitmaps?\nClick 'No' to choose another.",
                                        "'p1.bmp' (1/5)"}));
    EXPECT_EQ(fake.messages[1].kind, app::MessageKind::Information);
    const Viewer& viewer = program->tempform;
    // 40 x 60 at 210 x 297 mm: 42 x 60, the first preview kept.
    EXPECT_EQ((Size{viewer.ViewerBitmap.width(), viewer.ViewerBitmap.height()}), (Size{42, 60}));
    EXPECT_TRUE(viewer.ViewerBitmap.monochrome());
    EXPECT_TRUE(viewer.ViewerBitmap.isBlack(0, 0));
    EXPECT_TRUE(viewer.window.visible());
    EXPECT_EQ(viewer.window.left(), 0);
    EXPECT_EQ(viewer.window.top(), 0);
    EXPECT_TRUE(previewModeSeen);
    EXPECT_EQ(viewer.mode, ViewerMode::Normal);
}

TEST_F(PrintingProgram, PreviewFailuresAndTheSingleBitmapPath) {
    start(2);
    // A preview too large to make: 20000 x 1 at 10 x 999 mm would be
    // 20000 x ~2 million pixels.
    imaging::saveBmp(Bitmap(20000, 1), folder.file("wide.bmp"));
    program->setpapersize.ComboBox1.userSelect(PrintedSizeDialog::kUserDefined);
    program->setpapersize.SpinEdit1.setValue(10);
    program->setpapersize.SpinEdit2.setValue(999);
    form().ZipListMode = true;  // archives listed: no question
    fake.openFileAnswers = {folder.file("wide.bmp")};
    texts.clear();
    form().PrintPreview1.click();
    const std::string wide = folder.file("wide.bmp");
    EXPECT_EQ(fake.messageTexts(), std::vector<std::string>{Viewer::kColourDepthWarning});
    EXPECT_EQ(texts, (std::vector<std::string>{PreviewCommand::kChooseOne,
                                               "'" + wide + "' not previewed (skipped due to error)",
                                               "'" + wide + "'"}));
    EXPECT_TRUE(program->tempform.ViewerBitmap.isEmpty());
    EXPECT_FALSE(program->tempform.window.visible());
    EXPECT_EQ(program->tempform.mode, ViewerMode::Normal);

    // A file that cannot be loaded: the general error report, and the
    // viewer is not left in preview mode.
    fake.messages.clear();
    { std::ofstream(folder.file("bad.bmp")) << "no"; }
    fake.openFileAnswers = {folder.file("bad.bmp")};
    form().PrintPreview1.click();
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].kind, app::MessageKind::Error);
    EXPECT_EQ(program->tempform.mode, ViewerMode::Normal);

    // Thick Print in preview pixels on a chosen bitmap, Cancel clears.
    form().ThickPrint1.click();
    program->setpapersize.SpinEdit1.setValue(40);
    program->setpapersize.SpinEdit2.setValue(60);
    fake.openFileAnswers = {folder.file("p1.bmp"), std::nullopt};
    form().PrintPreview1.click();
    const Bitmap& shown = program->tempform.ViewerBitmap;
    ASSERT_EQ((Size{shown.width(), shown.height()}), (Size{40, 60}));
    EXPECT_FALSE(shown.isBlack(0, 0));
    EXPECT_TRUE(shown.isBlack(5, 5));
    EXPECT_FALSE(shown.isBlack(6, 6));
    form().PrintPreview1.click();
    EXPECT_EQ(form().Panel1.text(), "");
}

}  // namespace
}  // namespace quillet::output
