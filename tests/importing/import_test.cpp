// Importing pages: the threshold, the page sources on generated PDF, TIFF and
// PNG files, bad files, and File > Import Pages... through the program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "imaging/bit_rows.h"
#include "imaging/bmp_file.h"
#include "imaging/sample_page.h"
#include "importing/import_error.h"
#include "importing/page_source.h"
#include "importing/threshold.h"
#include "program/program.h"
#include "support/bitmap_text.h"
#include "support/fake_platform.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

// Qt last: its "emit" macro must not meet the models' emit().
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "support/page_files.h"

namespace {

namespace fs = std::filesystem;
using quillet::imaging::Bitmap;
using namespace quillet::importing;

using quillet::testing::fileBytes;

TEST(Threshold, OtsuSplitsWhereTheClassesSeparateBest) {
    struct Case {
        std::vector<std::pair<int, int>> counts;  // grey value, pixels
        int level;
    } cases[] = {
        {{{20, 30}, {100, 30}, {230, 40}}, 100},  // {20, 100} | {230} wins
        {{{20, 50}, {200, 25}, {230, 25}}, 20},   // {20} | {200, 230} wins
        {{{0, 1}, {255, 1}}, 0},                  // the lowest of the tied levels
        {{{128, 10}}, 0},                         // one grey value: no split
    };
    for (const Case& c : cases) {
        Histogram h{};
        for (auto [v, n] : c.counts) h[std::size_t(v)] = std::uint64_t(n);
        EXPECT_EQ(otsuLevel(h), c.level) << c.counts.front().first << "," << c.counts.size();
    }
}

TEST(Threshold, EveryPixelIsBlackExactlyWhenItsGreyIsAtMostTheLevel) {
    std::mt19937 random(7);
    for (int width : {1, 63, 64, 65, 130, 200}) {
        for (int level : {0, 100, 254, 255}) {
            const int height = 3;
            std::vector<std::uint8_t> grey(std::size_t(width * height));
            for (auto& g : grey) g = std::uint8_t(random());
            grey[0] = std::uint8_t(level);  // the boundary value itself
            const Bitmap b = binarize(GreyImage{grey.data(), width, height, width}, level);
            ASSERT_EQ(b.width(), width);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(b.isBlack(x, y), grey[std::size_t(y * width + x)] <= level) << width << " " << level;
                // Bits past the width stay clear.
                EXPECT_EQ(b.row(y)[b.wordsPerRow() - 1] & ~quillet::imaging::leadingMask(width - 64 * (b.wordsPerRow() - 1)), 0u);
            }
        }
    }
}

// A small 1-bit page with a frame and a diagonal.
Bitmap markedPage(int w, int h) {
    Bitmap b(w, h);
    b.frameRect({0, 0, w, h}, quillet::imaging::kBlack);
    b.drawLine({0, 0}, {w - 1, h - 1}, quillet::imaging::kBlack);
    return b;
}

// Bands 20, 20, 20, 100, 100, 100, 230 x 4: Otsu's level is 100.
QImage threeLevelPage() { return quillet::testing::greyBands(64, 100, {20, 20, 20, 100, 100, 100, 230, 230, 230, 230}); }

class PageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(scratch_.path().empty());
        dir_ = scratch_.path();
        quillet::testing::writeBitmapPdf(path("book.pdf"), {markedPage(300, 200), markedPage(200, 300)}, 100);
        QImage mono = markedPage(90, 70).toQImage();  // index 1 black
        quillet::testing::writeTiff(path("scan.tiff"), {mono, threeLevelPage()}, 200);
        ASSERT_TRUE(QImageWriter(QString::fromStdString(path("photo.png")), "png").write(threeLevelPage()));
        // Wide grey bands survive JPEG's blocks away from their edges.
        QImageWriter jpeg(QString::fromStdString(path("photo.jpg")), "jpeg");
        jpeg.setQuality(95);
        ASSERT_TRUE(jpeg.write(threeLevelPage()));
    }
    std::string path(const std::string& name) const { return (fs::path(dir_) / name).string(); }

    quillet::testing::TempDir scratch_{"quillet-import-test"};
    std::string dir_;
};

TEST_F(PageFiles, EveryKindGivesItsPagesOneBitWithTheirResolution) {
    PageSettings at100;
    at100.dpi = 100;
    auto pdf = openPageSource(path("book.pdf"), at100);
    ASSERT_EQ(pdf->pageCount(), 2);
    const Bitmap second = pdf->page(1);
    EXPECT_EQ(second.width(), 200);
    EXPECT_EQ(second.height(), 300);
    EXPECT_EQ(second.xPixelsPerMetre, 3937);
    EXPECT_TRUE(second.isBlack(100, 150));  // on the diagonal
    EXPECT_FALSE(second.isBlack(150, 50));

    auto tiff = openPageSource(path("scan.tiff"), at100);
    ASSERT_EQ(tiff->pageCount(), 2);
    const Bitmap first = tiff->page(0);
    EXPECT_BITMAPS_EQUAL(first, markedPage(90, 70));  // 1-bit: pixel for pixel
    EXPECT_EQ(first.yPixelsPerMetre, 7874);           // its own 200 dpi
    const Bitmap grey = tiff->page(1);
    EXPECT_TRUE(grey.isBlack(5, 35));   // 100
    EXPECT_FALSE(grey.isBlack(5, 65));  // 230

    PageSettings fixed = at100;
    fixed.threshold = Threshold{false, 50};
    auto png = openPageSource(path("photo.png"), fixed);
    ASSERT_EQ(png->pageCount(), 1);
    const Bitmap p = png->page(0);
    EXPECT_TRUE(p.isBlack(5, 5));     // 20
    EXPECT_FALSE(p.isBlack(5, 35));   // 100 is above 50
    EXPECT_EQ(quillet::imaging::countInk(p), 64 * 30);

    auto jpg = openPageSource(path("photo.jpg"), at100);
    ASSERT_EQ(jpg->pageCount(), 1);
    const Bitmap j = jpg->page(0);
    EXPECT_EQ(j.width(), 64);
    EXPECT_TRUE(j.isBlack(30, 15));   // 20
    EXPECT_FALSE(j.isBlack(30, 85));  // 230
}

TEST_F(PageFiles, BadFilesAreRefusedNamingTheFileAndTheReason) {
    std::ofstream(path("notes.txt")) << "not pages";
    std::ofstream(path("empty.png"));
    const std::string pdf = fileBytes(path("book.pdf"));
    std::ofstream(path("cut.pdf"), std::ios::binary) << pdf.substr(0, 40);
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"notes.txt", "not a PDF, TIFF, PNG or JPEG file"},
        {"empty.png", "the file is empty"},
        {"cut.pdf", "the PDF is damaged"},
        {"missing.pdf", "cannot be opened (No such file or directory)"},
        {"locked.pdf", "the PDF is encrypted and needs a password"},
    };
    const std::string encrypt = "qpdf --encrypt secret secret 256 -- '" + path("book.pdf") + "' '" + path("locked.pdf") + "'";
    ASSERT_EQ(std::system(encrypt.c_str()), 0) << "qpdf (scripts/install-deps.sh installs it)";
    for (const auto& c : cases) {
        try {
            openPageSource(path(c.name), {});
            ADD_FAILURE() << c.name << " opened";
        } catch (const ImportError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(path(c.name) + ": " + c.reason, 0), 0u) << e.what();
        }
    }
    // A TIFF cut inside its second page: the first page still reads.
    const std::string tiff = fileBytes(path("scan.tiff"));
    std::ofstream(path("cut.tiff"), std::ios::binary) << tiff.substr(0, tiff.size() - 200);
    try {
        auto cut = openPageSource(path("cut.tiff"), {});
        EXPECT_BITMAPS_EQUAL(cut->page(0), markedPage(90, 70));
        for (int i = 1; i < cut->pageCount(); ++i) cut->page(i);
        ADD_FAILURE() << "the cut page read";
    } catch (const ImportError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(path("cut.tiff") + ": page 2 cannot be read", 0), 0u) << e.what();
    }
}

TEST_F(PageFiles, TheMenuItemImportsIntoTheChosenFolderFromTheChosenNumberAndListsTheNewPages) {
    quillet::testing::FakePlatform platform;
    quillet::app::Program program(platform, dir_, "");
    quillet::app::MainForm& form = program.form;
    program.counterform.counterspinedit.setValue(2);
    const std::string books = path("books");
    fs::create_directories(books);
    const Bitmap keep = markedPage(33, 44);
    quillet::imaging::saveBmp(keep, books + "/page004.bmp");
    std::ofstream(path("notes.txt")) << "not pages";

    // Cancelling either dialog imports nothing.
    platform.openFilesAnswers = {{}, {path("book.pdf")}};
    form.ImportPages1.click();
    form.ImportPages1.click();
    ASSERT_EQ(platform.pageImportRequests.size(), 1u);
    // The dialog offers the output directory and the scan counter.
    EXPECT_EQ(platform.pageImportRequests[0].directory, dir_);
    EXPECT_EQ(platform.pageImportRequests[0].firstNumber, 2);

    platform.openFilesAnswers = {{path("book.pdf"), path("notes.txt"), path("scan.tiff"), path("photo.png")}};
    quillet::app::PageImportChoice choice{100, true, 127, books, 3};
    platform.pageImportAnswers = {choice};
    form.ImportPages1.click();

    // page003, [page004 passed by], page005 .. page008; the counter follows.
    EXPECT_BITMAPS_EQUAL(quillet::imaging::loadBmp(books + "/page004.bmp"), keep);
    EXPECT_BITMAPS_EQUAL(quillet::imaging::loadBmp(books + "/page003.bmp"), markedPage(300, 200));  // its own pixels
    EXPECT_BITMAPS_EQUAL(quillet::imaging::loadBmp(books + "/page006.bmp"), markedPage(90, 70));
    EXPECT_TRUE(fs::exists(books + "/page008.bmp"));
    EXPECT_FALSE(fs::exists(books + "/page009.bmp"));
    EXPECT_FALSE(fs::exists(path("page002.bmp")));
    EXPECT_EQ(program.counterform.counterspinedit.value(), 9);
    EXPECT_EQ(fileBytes(books + "/page003.bmp").substr(38, 4), std::string("\x61\x0f\0\0", 4));  // 3937 per metre
    ASSERT_EQ(platform.messages.size(), 1u);
    const std::string& warning = platform.messages[0].text;
    EXPECT_NE(warning.find(path("notes.txt") + ": not a PDF"), std::string::npos) << warning;
    EXPECT_NE(warning.find(books + "/page004.bmp: exists already"), std::string::npos) << warning;
    EXPECT_EQ(form.Panel1.text(), "Imported 5 pages: saved to " + books + "/page003.bmp .. page008.bmp");
    EXPECT_FALSE(platform.busy);

    // The list shows the destination with the new pages selected; they lock at once.
    EXPECT_EQ(form.directory(), books);
    ASSERT_EQ(form.FileListBox1.count(), 6);
    EXPECT_EQ(form.FileListBox1.selectedNames(),
              (std::vector<std::string>{"page003.bmp", "page005.bmp", "page006.bmp", "page007.bmp", "page008.bmp"}));
    form.lockselection.setChecked(true);
    EXPECT_TRUE(form.locked());
    EXPECT_EQ(platform.messages.size(), 1u);

    // With the clean-up chosen, a dark band along the page's edge is gone.
    Bitmap banded = markedPage(300, 200);
    banded.fillRect({0, 0, 30, 200}, quillet::imaging::kBlack);
    quillet::testing::writeBitmapPdf(path("banded.pdf"), {banded}, 100);
    platform.openFilesAnswers = {{path("banded.pdf")}};
    choice.firstNumber = 20;
    choice.clean = true;
    choice.deskew = false;
    platform.pageImportAnswers = {choice};
    form.ImportPages1.click();
    EXPECT_FALSE(quillet::imaging::loadBmp(books + "/page020.bmp").isBlack(15, 100));
}

// A scanner's PDF as libtiff's tools make one (Group 4 pages wrapped whole):
// its pages come back pixel for pixel at their resolution; the same image
// drawn mirrored is not taken as it is.
TEST_F(PageFiles, AScannedPdfPageIsTheScannedImagePixelForPixel) {
    quillet::imaging::SamplePageOptions o;
    o.dpi = 150;
    const Bitmap scan = quillet::imaging::makeSamplePage(o);
    quillet::testing::writeTiff(path("scan1.tif"), {scan.toQImage()}, 150);
    const std::string make = "tiffcp -c g4 '" + path("scan1.tif") + "' '" + path("g4.tif") + "' && tiff2pdf -o '" +
                             path("scan.pdf") + "' '" + path("g4.tif") + "'";
    ASSERT_EQ(std::system(make.c_str()), 0) << "libtiff-tools (scripts/install-deps.sh installs it)";
    const Bitmap page = openPageSource(path("scan.pdf"), {})->page(0);
    EXPECT_BITMAPS_EQUAL(page, scan);
    EXPECT_EQ(page.xPixelsPerMetre, 5906);

    // Mirrored: rendered instead, so the mark at the top left lands at the top right.
    Bitmap marked(200, 100);
    marked.fillRect({0, 0, 20, 20}, quillet::imaging::kBlack);
    {
        QPdfWriter pdf(QString::fromStdString(path("mirror.pdf")));
        pdf.setResolution(100);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(2, 1), QPageSize::Inch), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&pdf);
        painter.translate(200, 0);
        painter.scale(-1, 1);
        painter.drawImage(QRect(0, 0, 200, 100), quillet::imaging::toBlackFirstMono(marked));
    }
    PageSettings at100;
    at100.dpi = 100;
    const Bitmap mirrored = openPageSource(path("mirror.pdf"), at100)->page(0);
    EXPECT_TRUE(mirrored.isBlack(190, 10));
    EXPECT_FALSE(mirrored.isBlack(10, 10));
}

}  // namespace
