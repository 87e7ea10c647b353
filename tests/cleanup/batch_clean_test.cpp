// quillet-batch clean, the built program: the line per page, the pages it
// writes (whole, with their resolution), and what it refuses; and import
// --clean, which cleans each page on its way in.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "imaging/bmp_file.h"
#include "support/batch_run.h"
#include "support/bitmap_text.h"
#include "support/page_files.h"
#include "support/scanned_pages.h"
#include "support/temp_dir.h"

namespace quillet::cleanup {
namespace {

namespace fs = std::filesystem;
using testing::BatchRun;
using testing::runBatch;
using testing::TempDir;

// A black-and-white BMP header claiming width x height, the pixel data left
// as a hole in the file (all zero bits: black), so a huge page costs no disk.
void writeSparsePage(const std::string& path, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t stride = (std::uint64_t(width) + 31) / 32 * 4, size = 62 + stride * height;
    std::uint8_t h[62] = {'B', 'M'};
    auto put = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) h[at + i] = std::uint8_t(v >> (8 * i));
    };
    put(2, std::uint32_t(size)), put(10, 62), put(14, 40), put(18, width), put(22, height);
    h[26] = 1, h[28] = 1;
    put(58, 0x00ffffff);  // the table: black, white
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(h), sizeof h);
    fs::resize_file(path, size);
}

// The sorted names in a folder; none when it does not exist.
std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class BatchClean : public ::testing::Test {
protected:
    void SetUp() override {
        imaging::Bitmap skewed = test::turnedPage(test::textPage(300, 3), 1.5);
        skewed.fillRect({0, 0, 45, skewed.height()}, imaging::kBlack);
        skewed.xPixelsPerMetre = skewed.yPixelsPerMetre = 11811;  // 300 dpi
        imaging::saveBmp(skewed, pages.file("page001.bmp"));
        imaging::saveBmp(test::textPage(300, 4), pages.file("page002.bmp"));
    }
    TempDir pages, out;
};

TEST_F(BatchClean, WritesEveryPageUnderItsNameWithALineEach) {
    const std::string into = out.file("cleaned");
    const BatchRun run = runBatch({"clean", "-C", pages.path(), "-o", into});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.size(), 3u);
    EXPECT_EQ(run.out[0].rfind("page001.bmp: skew +1.5", 0), 0u) << run.out[0];
    EXPECT_NE(run.out[0].find("straightened; 1 dark region removed"), std::string::npos) << run.out[0];
    EXPECT_EQ(run.out[1].rfind("page002.bmp: skew ", 0), 0u) << run.out[1];
    EXPECT_TRUE(run.out[1].ends_with(" degrees, left; no dark borders; no specks")) << run.out[1];
    EXPECT_EQ(run.out[2], "Cleaned 2 of 2 pages into " + into);
    // The straight page comes out as it went in; the skewed one keeps its resolution.
    EXPECT_TRUE(
        test::bitmapsEqual(imaging::loadBmp(into + "/page002.bmp"), imaging::loadBmp(pages.file("page002.bmp"))));
    EXPECT_EQ(imaging::loadBmp(into + "/page001.bmp").xPixelsPerMetre, 11811);
    EXPECT_EQ(pages.names(), (std::vector<std::string>{"page001.bmp", "page002.bmp"}));
}

TEST_F(BatchClean, RefusesToOverwriteThePagesAndNamesEachFailure) {
    fs::create_directory_symlink(pages.path(), out.file("same"));
    imaging::saveBmp(test::textPage(150, 5), out.file("elsewhere.bmp"));
    writeSparsePage(pages.file("huge.bmp"), 20000, 30000);
    pages.writeText("notes.bmp", "not a bitmap");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string says;                  // in standard error
        std::vector<std::string> written;  // into OUT/new
    } cases[] = {
        {{}, 2, "needs an output directory", {}},
        {{"-o", pages.path()}, 2, "is the pages' own", {}},
        {{"-o", out.file("same")}, 2, "is the pages' own", {}},
        {{"-o", out.file("new"), "--no-such"}, 2, "unknown option --no-such", {}},
        {{"-o", out.path(), out.file("elsewhere.bmp")}, 2, "would be overwritten", {}},
        {{"-o", out.file("new"), "page001.bmp", "page001.bmp"}, 2, "two pages are named page001.bmp", {}},
        {{"-o", out.file("new"), "--no-deskew", "page002.bmp", "huge.bmp", "notes.bmp", "gone.bmp"},
         1,
         "huge.bmp: The page is too large to clean (20000 x 30000 pixels",
         {"page002.bmp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        std::vector<std::string> args{"clean", "-C", pages.path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const BatchRun run = runBatch(args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(namesIn(out.file("new")), c.written);
        fs::remove_all(out.file("new"));
    }
    EXPECT_EQ(pages.names(), (std::vector<std::string>{"huge.bmp", "notes.bmp", "page001.bmp", "page002.bmp"}));
}

TEST_F(BatchClean, ImportCleansEachPageAsItIsSavedWithTheStepsAsked) {
    const imaging::Bitmap skewed = imaging::loadBmp(pages.file("page001.bmp"));
    testing::writeBitmapPdf(pages.file("scan.pdf"), {skewed}, 300);
    struct Case {
        std::vector<std::string> options;
        int status;
        std::string said;  // the line after "Saved to", or the start of the complaint
        bool bandLeft;
    } cases[] = {
        {{"--clean"}, 0, "page001.bmp: skew +1.5", false},
        {{"--clean", "--no-deskew", "--no-despeckle"}, 0, "page001.bmp: 1 dark region removed", false},
        {{"--clean", "--no-borders"}, 0, "page001.bmp: skew +1.5", true},
        {{"--no-borders"}, 2, "quillet-batch: --no-deskew, --no-borders and --no-despeckle go with --clean", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        const std::string into = out.file("imported");
        std::vector<std::string> args{"import", "-o", into};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(pages.file("scan.pdf"));
        const BatchRun run = runBatch(args);
        ASSERT_EQ(run.status, c.status) << run.err;
        if (c.status != 0) {
            EXPECT_EQ(run.err.rfind(c.said, 0), 0u) << run.err;
            continue;
        }
        ASSERT_EQ(run.out.size(), 3u);
        EXPECT_EQ(run.out[0], "Saved to " + into + "/page001.bmp");
        EXPECT_EQ(run.out[1].rfind(c.said, 0), 0u) << run.out[1];
        const imaging::Bitmap page = imaging::loadBmp(into + "/page001.bmp");
        int dark = 0;  // across the band, which deskewing may move right as it widens the page
        for (int x = 0; x < 120; ++x) dark += page.isBlack(x, page.height() / 2);
        EXPECT_EQ(dark >= 40, c.bandLeft) << dark;
        EXPECT_EQ(page.xPixelsPerMetre, 11811);
        fs::remove_all(into);
    }
}

}  // namespace
}  // namespace quillet::cleanup
