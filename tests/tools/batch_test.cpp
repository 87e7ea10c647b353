// quillet-batch end to end: the built executable run on generated pages.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using quillet::imaging::Bitmap;
using quillet::testing::BatchRun;
using quillet::testing::batchPath;
using quillet::testing::runBatch;

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

}  // namespace
