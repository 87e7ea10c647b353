// quillet-batch end to end: the built executable run on generated pages.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/bmp_file.h"
#include "imaging/sample_page.h"
#include "output/viewer.h"
#include "support/batch_run.h"
#include "support/pdf_queue.h"
#include "support/bitmap_text.h"
#include "support/temp_dir.h"

#include <QImageWriter>  // Qt last, after the models

#include "support/page_files.h"

namespace {

namespace fs = std::filesystem;
using quillet::imaging::Bitmap;
using quillet::testing::BatchRun;
using quillet::testing::batchPath;
using quillet::testing::runBatch;
using quillet::testing::shellQuote;

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (batchPath().empty() || !fs::exists(batchPath())) GTEST_SKIP() << "quillet-batch not built";
        ASSERT_FALSE(scratch_.path().empty());
        dir_ = scratch_.path();
        fs::create_directories(dir_ / "out");
    }
    // n generated 100-dpi pages, page01.bmp ...
    void writePages(int n) {
        for (int i = 1; i <= n; ++i) {
            quillet::imaging::SamplePageOptions o;
            o.dpi = 100;
            o.seed = std::uint64_t(40 + i);
            Bitmap b = quillet::imaging::makeSamplePage(o);
            char name[32];
            std::snprintf(name, sizeof name, "page%02d.bmp", i);
            quillet::imaging::saveBmp(b, (dir_ / name).string());
            pages_.push_back(std::move(b));
        }
    }
    std::string dir() const { return dir_.string(); }
    std::string out() const { return (dir_ / "out").string(); }
    int outputCount() const {
        int n = 0;
        while (fs::exists(dir_ / "out" / (std::to_string(n + 1) + "page.bmp"))) ++n;
        return n;
    }

    quillet::testing::TempDir scratch_{"quillet-batch-test"};
    fs::path dir_;
    std::vector<Bitmap> pages_;
};

// "W, H (NPP x ..." -> W, H
std::pair<int, int> sizeLineSize(const std::string& line) {
    int w = -1, h = -1;
    std::sscanf(line.c_str(), "%d, %d", &w, &h);
    return {w, h};
}

TEST_F(BatchTest, PagesMatchTheSizeLineAfterAColumnLengthChange) {
    writePages(8);
    const BatchRun r = runBatch({"-C", dir(), "-o", out(), "--columns", "2", "--length-pixels", "1500"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.out.size(), 3u) << r.err;
    EXPECT_EQ(r.out[0].rfind("layout: length-pixels=1500 length-pages=", 0), 0u) << r.out[0];
    EXPECT_NE(r.out[0].find(" columns=2 "), std::string::npos) << r.out[0];
    const auto [w, h] = sizeLineSize(r.out[1]);
    const int m = outputCount();
    ASSERT_GT(m, 1);
    EXPECT_EQ(r.out[2], "Done. . .  saved " + std::to_string(m) + " pages.");
    for (int i = 1; i <= m; ++i) {
        const Bitmap page = quillet::imaging::loadBmp(out() + "/" + std::to_string(i) + "page.bmp");
        EXPECT_EQ(page.width(), w) << i;
        EXPECT_EQ(page.height(), h) << i;
    }
}

TEST_F(BatchTest, EveryInputInkRowIsInTheOutputInOrder) {
    writePages(5);
    // No autocrop (crop = whole page), no stretching, no compression: the
    // columns hold the pages' rows as they are.
    const BatchRun r = runBatch({"-C", dir(), "-o", out(), "--no-autocrop", "--no-stretch-width", "--compression",
                            "none", "--columns", "3", "--length-pixels", "2000", "-v"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t layoutLine = 0;
    while (layoutLine < r.out.size() && r.out[layoutLine].rfind("layout:", 0) != 0) ++layoutLine;
    ASSERT_LT(layoutLine, r.out.size());
    EXPECT_GT(layoutLine, 0u);  // -v printed the lock's texts before
    const auto [w, h] = sizeLineSize(r.out[layoutLine + 1]);
    const int pw = pages_[0].width();
    const int column = w / 3;  // page width + internal left and right borders
    ASSERT_GE(column, pw);

    std::vector<std::vector<std::uint64_t>> in, outRows;
    auto rowOf = [](const Bitmap& b, int x0, int y, int width) {
        std::vector<std::uint64_t> words(std::size_t((width + 63) / 64), 0);
        bool any = false;
        for (int x = 0; x < width; ++x)
            if (b.isBlack(x0 + x, y)) {
                words[std::size_t(x / 64)] |= std::uint64_t(1) << (63 - x % 64);
                any = true;
            }
        return any ? words : std::vector<std::uint64_t>{};
    };
    for (const Bitmap& p : pages_)
        for (int y = 0; y < p.height(); ++y)
            if (auto r2 = rowOf(p, 0, y, pw); !r2.empty()) in.push_back(r2);
    const int m = outputCount();
    ASSERT_GE(m, 1);
    for (int i = 1; i <= m; ++i) {
        const Bitmap page = quillet::imaging::loadBmp(out() + "/" + std::to_string(i) + "page.bmp");
        ASSERT_EQ(page.height(), h);
        for (int j = 0; j < 3; ++j)
            for (int y = 0; y < 2000; ++y)  // above the external footer
                if (auto r2 = rowOf(page, j * column, y, pw); !r2.empty()) outRows.push_back(r2);
    }
    ASSERT_EQ(outRows.size(), in.size());
    for (std::size_t i = 0; i < in.size(); ++i) ASSERT_EQ(outRows[i], in[i]) << "ink row " << i;
}

TEST_F(BatchTest, DoesNoViewerWorkForTheFirstListedFile) {
    // A first page wider than the viewer can draw would make the viewer write
    // its temporary file and warn; a run shows nothing, so stderr stays empty.
    writePages(1);
    Bitmap wide(quillet::output::Viewer::kMaxShownSide + 16, 30);
    wide.fillRect({0, 10, wide.width(), 15}, quillet::imaging::kBlack);
    quillet::imaging::saveBmp(wide, dir() + "/a_wide.bmp");
    const BatchRun r = runBatch({"-C", dir(), "-o", out(), "--columns", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_GE(outputCount(), 1);
}

TEST_F(BatchTest, ExitStatuses) {
    writePages(2);
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
    };
    const std::string missing = dir() + "/missing";
    for (const Case& c : {
             Case{"dry run", {"--dry-run"}, 0},
             Case{"unknown option", {"--frobnicate"}, 2},
             Case{"bad number", {"--columns", "many"}, 2},
             Case{"bad borders", {"--borders", "1,2,3"}, 2},
             Case{"file not listed", {"nothere.bmp"}, 2},
             Case{"no room", {"--borders", "0,1,0,1,150,150,0,0"}, 1},
             Case{"bad base name", {"--name", "../x"}, 1},
             Case{"missing output directory", {"-o", missing}, 1},
         }) {
        std::vector<std::string> args{"-C", dir()};
        if (std::string(c.what) != "missing output directory") args.insert(args.end(), {"-o", out()});
        args.insert(args.end(), c.args.begin(), c.args.end());
        const BatchRun r = runBatch(args);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
        if (c.status == 2) {
            EXPECT_NE(r.err.find("usage: quillet-batch"), std::string::npos) << c.what;
        }
        if (c.status == 1) {
            EXPECT_FALSE(r.err.empty()) << c.what;
        }
    }
    EXPECT_EQ(outputCount(), 0);  // nothing was written by any of them
    const BatchRun ok = runBatch({"-C", dir(), "-o", out(), "page01.bmp"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out.back(), "Done. . .  saved 1 page.");
    EXPECT_EQ(outputCount(), 1);
}

// Black pixels of `a` with no black pixel of `b` at most one pixel away.
int blackFarFrom(const Bitmap& a, const Bitmap& b) {
    int far = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!a.isBlack(x, y)) continue;
            bool near = false;
            for (int v = std::max(0, y - 1); v <= std::min(b.height() - 1, y + 1) && !near; ++v)
                for (int u = std::max(0, x - 1); u <= std::min(b.width() - 1, x + 1) && !near; ++u)
                    near = b.isBlack(u, v);
            far += near ? 0 : 1;
        }
    return far;
}

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

TEST_F(BatchTest, ImportWritesEveryPageInOrderAndReportsABadFile) {
    // PDF pages told apart by their widths (whole points at 100 dpi), then a 1-bit PNG.
    quillet::testing::writeBitmapPdf(dir() + "/a.pdf", {Bitmap(100, 75), Bitmap(125, 75), Bitmap(150, 75)}, 100);
    const Bitmap png = quillet::test::bitmapFromRows({"1100", "0110", "0011"});
    ASSERT_TRUE(QImageWriter(QString::fromStdString(dir() + "/b.png"), "png").write(png.toQImage()));
    std::ofstream(dir() + "/bad.txt") << "no pages here";

    const BatchRun r = runBatch({"import", "-o", out(), "--start", "9", "--dpi", "100", dir() + "/a.pdf",
                                 dir() + "/bad.txt", dir() + "/b.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir() + "/bad.txt: not a PDF, TIFF, PNG or JPEG file"), std::string::npos) << r.err;
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.back(), "Imported 4 pages; the counter is now 13.");
    for (int i = 0; i < 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/page%03d.bmp", 9 + i);
        EXPECT_EQ(quillet::imaging::loadBmp(out() + name).width(), 100 + 25 * i) << name;
    }
    EXPECT_BITMAPS_EQUAL(quillet::imaging::loadBmp(out() + "/page012.bmp"), png);
}

TEST_F(BatchTest, PdfHoldsEachExternalPageOneBitAndLosslessOnAPageOfThePrintedSize) {
    if (std::system("pdfimages -v > /dev/null 2>&1") != 0) GTEST_SKIP() << "poppler-utils missing";
    writePages(6);
    const std::string pdf = out() + "/book.pdf";
    const BatchRun r = runBatch({"-C", dir(), "-o", out(), "--paper", "254x381", "--length-pages", "1", "--columns", "1", "--pdf", pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    const int m = outputCount();
    ASSERT_GT(m, 1);
    const std::string info = commandOutput("pdfinfo " + shellQuote(pdf));
    EXPECT_NE(info.find("Pages:           " + std::to_string(m) + "\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Page size:       720 x 1080 pts"), std::string::npos) << info;  // 254 x 381 mm

    // pdfimages -list: one 1-bit grey image per page.
    const std::vector<quillet::testing::PdfImage> images = quillet::testing::pdfImages(pdf);
    EXPECT_EQ(int(images.size()), m);
    for (const auto& im : images)
        EXPECT_EQ(im.type + " " + im.colour + " " + std::to_string(im.bitsPerComponent), "image gray 1");

    // Each embedded image is its external page, pixel for pixel; rendered at
    // the page's resolution it has the page's size and ink (poppler resamples
    // images drawn 1:1, moving edges by up to one pixel).
    ASSERT_EQ(std::system(("cd " + shellQuote(out()) + " && pdfimages book.pdf img").c_str()), 0);
    for (int i = 1; i <= m; ++i) {
        const Bitmap page = quillet::imaging::loadBmp(out() + "/" + std::to_string(i) + "page.bmp");
        char name[32];
        std::snprintf(name, sizeof name, "/img-%03d.pbm", i - 1);
        EXPECT_BITMAPS_EQUAL(quillet::testing::readPbm(out() + name), page);
    }
    const Bitmap first = quillet::imaging::loadBmp(out() + "/1page.bmp");
    // Resolutions a hair low so that rounding up gives the page's pixels.
    auto resolution = [](int pixels, int points) { return std::to_string(std::floor(pixels * 72e6 / points) / 1e6); };
    const std::string rx = resolution(first.width(), 720), ry = resolution(first.height(), 1080);
    ASSERT_EQ(std::system(("pdftoppm -mono -f 1 -l 1 -rx " + rx + " -ry " + ry + " " + shellQuote(pdf) + " " +
                           shellQuote(out() + "/render")).c_str()),
              0);
    const Bitmap rendered = quillet::testing::readPbm(out() + "/render-1.pbm");
    ASSERT_EQ(rendered.width(), first.width());
    ASSERT_EQ(rendered.height(), first.height());
    EXPECT_EQ(blackFarFrom(rendered, first), 0);
    EXPECT_EQ(blackFarFrom(first, rendered), 0);
}

TEST_F(BatchTest, APdfIsNotWrittenWhenPagesFailAndSaysSo) {
    writePages(2);
    const std::string pdf = out() + "/book.pdf";
    { std::ofstream(pdf) << "the earlier book"; }
    fs::create_directories(out() + "/1page.bmp");  // the first page cannot take its name
    const BatchRun r = runBatch({"-C", dir(), "-o", out(), "--pdf", pdf});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(pdf + ": not written, since pages failed"), std::string::npos) << r.err;
    std::ifstream in(pdf);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "the earlier book");
}

}  // namespace

namespace {

TEST_F(BatchTest, PreviewToWritesWhatTheViewerShows) {
    Bitmap page(2000, 3000);
    page.setBlack(0, 0, true);
    quillet::imaging::saveBmp(page, dir() + "/tall.bmp");
    quillet::imaging::saveBmp(Bitmap(3000, 1000), dir() + "/wide.bmp");
    const BatchRun r = runBatch({"--preview-to", out(), "--paper", "A4", "--thick", "-C", dir()});
    ASSERT_EQ(r.status, 0) << r.err;
    const Bitmap tall = quillet::imaging::loadBmp(out() + "/tall.bmp");
    const Bitmap wide = quillet::imaging::loadBmp(out() + "/wide.bmp");
    EXPECT_EQ(tall.width(), 2121);
    EXPECT_EQ(tall.height(), 3000);
    EXPECT_EQ(wide.width(), 3000);
    EXPECT_EQ(wide.height(), 4243);
    // Thick Print in preview pixels: the corner dot is stretched by 1.06 and
    // moved one pixel right and down.
    EXPECT_FALSE(tall.isBlack(0, 0));
    EXPECT_TRUE(tall.isBlack(1, 1));
    EXPECT_TRUE(tall.isBlack(1, 0));
    EXPECT_TRUE(tall.isBlack(0, 1));
    // Never into the pages' own folder.
    EXPECT_EQ(runBatch({"--preview-to", dir(), "-C", dir()}).status, 2);
}

TEST_F(BatchTest, PrintAndPreviewTellEachProblemOnce) {
    // The pages are never shown in the viewer first; an unknown printer is
    // one message.
    { std::ofstream(dir() + "/a.bmp"); }  // zero length
    quillet::imaging::saveBmp(Bitmap(8, 8), dir() + "/b.bmp");
    struct Case { std::vector<std::string> args; std::string message; };
    const Case cases[] = {
        {{"--preview-to", out(), "-C", dir()}, "Bitmap image is not valid."},
        {{"--print", "--printer", "NoSuchQueue", "-C", dir()}, "No printer named 'NoSuchQueue'"},
    };
    for (const Case& c : cases) {
        const BatchRun r = runBatch(c.args);
        EXPECT_EQ(r.status, 1) << c.message;
        const std::size_t first = r.err.find(c.message);
        EXPECT_NE(first, std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(c.message, first + 1), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("No printer is installed"), std::string::npos) << r.err;
    }
}

}  // namespace
