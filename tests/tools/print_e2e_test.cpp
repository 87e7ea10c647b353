// quillet-batch --print through a real cups-pdf queue of the test's own:
// the PDF that arrives holds the page as one lossless 1-bit image, at the
// top-left of the printable area, stretched to the printed size; Thick
// Print's L and no line along the right and bottom edges; one job per
// selected bitmap; a queue that refuses jobs gets none and is told.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "imaging/bit_rows.h"
#include "imaging/bmp_file.h"
#include "output/print_command.h"
#include "support/batch_run.h"
#include "support/pdf_queue.h"
#include "support/temp_dir.h"
#include "ui/printer_job.h"

// Qt last: its "emit" macro must not meet the models' emit().
#include <QGuiApplication>
#include <QPageLayout>
#include <QPrinter>

namespace {

namespace fs = std::filesystem;
using quillet::imaging::Bitmap;
using quillet::testing::runBatch;

// The ink's bounding box of a bitmap; empty (right <= left) without ink.
quillet::imaging::Rect inkBox(const Bitmap& b) {
    quillet::imaging::Rect r{b.width(), b.height(), 0, 0};
    for (int y = 0; y < b.height(); ++y) {
        const int first = quillet::imaging::firstInk(b.row(y), 0, b.width());
        if (first < 0) continue;
        r.left = std::min(r.left, first);
        r.right = std::max(r.right, quillet::imaging::lastInk(b.row(y), 0, b.width()) + 1);
        r.top = std::min(r.top, y);
        r.bottom = y + 1;
    }
    return r;
}

class PrintThroughCupsPdf : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(quillet::testing::batchPath())) GTEST_SKIP() << "quillet-batch not built";
        if (!queue_.unavailable().empty()) GTEST_SKIP() << queue_.unavailable();
        static int argc = 1;
        static char name[] = "print_e2e";
        static char* argv[] = {name, nullptr};
        if (QGuiApplication::instance() == nullptr) app_ = std::make_unique<QGuiApplication>(argc, argv);
        quillet::ui::PrinterJobs jobs(queue_.name());
        QPrinter* printer = jobs.printer();
        ASSERT_NE(printer, nullptr) << jobs.lastError();
        geometry_ = *jobs.geometry();
        dpi_ = printer->resolution();
        origin_ = printer->pageLayout().paintRectPixels(dpi_).topLeft();
    }
    std::string file(const std::string& name) const { return dir_.file(name); }

    // Prints and returns the one PDF of the job, checked to hold exactly one
    // 1-bit image and no JPEG.
    fs::path printOne(const std::vector<std::string>& extra, const std::string& bmp) {
        std::vector<std::string> args{"--print", "--printer", queue_.name(), "-C", dir_.path()};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(bmp);
        const quillet::testing::BatchRun r = runBatch(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, std::vector<std::string>{"Spooled to printer . . . '" + bmp + "' (1 of 1)"}) << r.err;
        const std::vector<fs::path> pdfs = queue_.waitForNew(1);
        if (pdfs.size() != 1) {
            ADD_FAILURE() << pdfs.size() << " PDFs appeared in " << queue_.folder();
            return {};
        }
        expectOneLosslessImage(pdfs[0]);
        return pdfs[0];
    }
    static void expectOneLosslessImage(const fs::path& pdf) {
        const std::vector<quillet::testing::PdfImage> images = quillet::testing::pdfImages(pdf);
        ASSERT_EQ(images.size(), 1u) << pdf;
        EXPECT_EQ(images[0].bitsPerComponent, 1);
        EXPECT_NE(images[0].encoding, "jpeg");
        EXPECT_NE(images[0].encoding, "jpx");
    }

    quillet::testing::PdfQueue queue_;
    quillet::testing::TempDir dir_{"quillet-print-e2e"};
    std::unique_ptr<QGuiApplication> app_;
    quillet::app::PrinterGeometry geometry_;
    int dpi_ = 0;
    QPoint origin_;
};

TEST_F(PrintThroughCupsPdf, PageSizeFillsThePrintableAreaFromItsTopLeft) {
    // A one-pixel frame around a page of another shape than the paper.
    Bitmap page(900, 700);
    page.frameRect({0, 0, 900, 700}, quillet::imaging::kBlack);
    page.fillRect({100, 100, 110, 600}, quillet::imaging::kBlack);
    quillet::imaging::saveBmp(page, file("framed.bmp"));
    const fs::path pdf = printOne({}, "framed.bmp");
    ASSERT_FALSE(pdf.empty());

    // The job carries the device page itself: HORZRES x VERTRES, its frame
    // on the outermost pixels.
    const Bitmap image = quillet::testing::firstPdfImage(pdf);
    ASSERT_EQ(image.width(), geometry_.widthPx);
    ASSERT_EQ(image.height(), geometry_.heightPx);
    const quillet::imaging::Rect whole{0, 0, image.width(), image.height()};
    EXPECT_EQ(inkBox(image), whole);
    // On paper, it starts at the printable area's top-left corner.
    const quillet::imaging::Rect drawn = inkBox(quillet::testing::renderPdfPage(pdf, dpi_));
    EXPECT_NEAR(drawn.left, origin_.x(), 2);
    EXPECT_NEAR(drawn.top, origin_.y(), 2);
    EXPECT_NEAR(drawn.width(), geometry_.widthPx, 2);
    EXPECT_NEAR(drawn.height(), geometry_.heightPx, 2);
}

TEST_F(PrintThroughCupsPdf, HundredMillimetresIsASquareWhateverTheProportions) {
    Bitmap page(300, 800);
    page.fillRect({0, 0, 300, 800}, quillet::imaging::kBlack);
    quillet::imaging::saveBmp(page, file("tall.bmp"));
    const fs::path pdf = printOne({"--paper", "100x100"}, "tall.bmp");
    ASSERT_FALSE(pdf.empty());
    // The printed size in device pixels, per axis from the printer's pixels
    // per whole millimetre of its printable area: within a few pixels of
    // the exact 100 mm on both axes.
    const quillet::imaging::Size printed = quillet::output::printedPixels(geometry_, 100, 100);
    const int side = int(std::lround(100 * dpi_ / 25.4));
    EXPECT_NEAR(printed.width, side, side / 500);
    EXPECT_NEAR(printed.height, side, side / 500);
    const Bitmap image = quillet::testing::firstPdfImage(pdf);
    EXPECT_EQ(image.width(), printed.width);
    EXPECT_EQ(image.height(), printed.height);
    EXPECT_EQ(quillet::imaging::countInk(image), std::int64_t(printed.width) * printed.height);
    const quillet::imaging::Rect drawn = inkBox(quillet::testing::renderPdfPage(pdf, dpi_));
    EXPECT_NEAR(drawn.width(), printed.width, 2);
    EXPECT_NEAR(drawn.height(), printed.height, 2);
    EXPECT_NEAR(drawn.left, origin_.x(), 2);
    EXPECT_NEAR(drawn.top, origin_.y(), 2);
}

TEST_F(PrintThroughCupsPdf, ThickPrintMakesAnLOfEachDotAndNoEdgeLines) {
    // A bitmap of exactly the printed size, so that a pixel is a dot.
    const quillet::imaging::Size printed = quillet::output::printedPixels(geometry_, 100, 100);
    Bitmap page(printed.width, printed.height);
    page.setBlack(10, 10, true);
    page.setBlack(printed.width - 1, printed.height - 1, true);
    quillet::imaging::saveBmp(page, file("dots.bmp"));
    const fs::path pdf = printOne({"--paper", "100x100", "--thick"}, "dots.bmp");
    ASSERT_FALSE(pdf.empty());
    const Bitmap image = quillet::testing::firstPdfImage(pdf);
    // One pixel past the printed size for the moved ink, and only the two Ls.
    ASSERT_EQ(image.width(), printed.width + 1);
    ASSERT_EQ(image.height(), printed.height + 1);
    const int r = printed.width, b = printed.height;
    const std::vector<std::pair<int, int>> ink{{11, 10}, {10, 11}, {11, 11}, {r, b - 1}, {r - 1, b}, {r, b}};
    for (const auto& [x, y] : ink) EXPECT_TRUE(image.isBlack(x, y)) << x << "," << y;
    EXPECT_EQ(quillet::imaging::countInk(image), std::int64_t(ink.size()));
    EXPECT_FALSE(image.isBlack(10, 10));
}

TEST_F(PrintThroughCupsPdf, ThreeSelectedBitmapsAreThreeJobs) {
    for (int i = 1; i <= 3; ++i) {
        Bitmap page(200, 300);
        page.fillRect({0, 0, 20 * i, 20}, quillet::imaging::kBlack);
        quillet::imaging::saveBmp(page, file("p" + std::to_string(i) + ".bmp"));
    }
    const quillet::testing::BatchRun r = runBatch({"--print", "--printer", queue_.name(), "-C", dir_.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, (std::vector<std::string>{"Spooled to printer . . . 'p1.bmp' (1 of 3)",
                                               "Spooled to printer . . . 'p2.bmp' (2 of 3)",
                                               "Spooled to printer . . . 'p3.bmp' (3 of 3)"}));
    const std::vector<fs::path> pdfs = queue_.waitForNew(3);
    ASSERT_EQ(pdfs.size(), 3u);
    // Each job is its own page, in order: the ink bar grows.
    const double scale = double(geometry_.widthPx) / 200;
    for (int i = 0; i < 3; ++i) {
        expectOneLosslessImage(pdfs[std::size_t(i)]);
        const Bitmap image = quillet::testing::firstPdfImage(pdfs[std::size_t(i)]);
        EXPECT_NEAR(inkBox(image).width(), 20 * (i + 1) * scale, 2) << pdfs[std::size_t(i)];
    }
}

TEST_F(PrintThroughCupsPdf, AQueueThatRefusesJobsGetsNoneAndEachBitmapIsReported) {
    quillet::imaging::saveBmp(Bitmap(10, 10), file("a.bmp"));
    quillet::imaging::saveBmp(Bitmap(10, 10), file("b.bmp"));
    ASSERT_TRUE(queue_.refuseJobs());
    const quillet::testing::BatchRun r = runBatch({"--print", "--printer", queue_.name(), "-C", dir_.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty()) << r.out.front();
    for (const std::string name : {"a.bmp", "b.bmp"})
        EXPECT_NE(r.err.find("Exception occurred! '" + name + "' not printed."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("not accepting jobs"), std::string::npos) << r.err;
    EXPECT_TRUE(queue_.jobs().empty());
}

}  // namespace
