// The lock through the running program over directories of generated
// bitmaps: status texts in order, refusals, load failures, the fields and
// menu items it frees and freezes, and the page table it leaves.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

#include "analysis/selection_lock.h"
#include "app/output_directory.h"
#include "program/program.h"
#include "imaging/bitmap_error.h"
#include "imaging/bmp_file.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace quillet::analysis {
namespace {

namespace fs = std::filesystem;
using imaging::Bitmap;

using ScratchDir = quillet::testing::TempDir;

// A page of w x h with a text block at columns 5..w-6, rows 4..h-5, broken by
// a blank gap of 10 rows in the middle.
Bitmap textPage(int w = 40, int h = 40) {
    Bitmap b(w, h);
    b.fillRect({5, 4, w - 5, h - 4}, imaging::kBlack);
    b.fillRect({0, h / 2 - 5, w, h / 2 + 5}, imaging::kWhite);
    return b;
}

struct LockTest : ::testing::Test {
    ScratchDir dir;
    ScratchDir temp;
    testing::FakePlatform fake;
    std::unique_ptr<app::Program> program;
    std::vector<std::string> texts;  // every status write, in order
    int raised = 0;

    LockTest() { fake.tempDir = temp.path(); }

    void writePages(int n, int w = 40, int h = 40) {
        for (int i = 1; i <= n; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "page%03d.bmp", i);
            imaging::saveBmp(textPage(w, h), dir.file(name));
        }
    }
    app::Program& start() {
        program = std::make_unique<app::Program>(fake, dir.path(), "");
        program->form.Panel1.written.connect([this] { texts.push_back(form().Panel1.text()); });
        program->form.window.raised.connect([this] { ++raised; });
        texts.clear();
        fake.log.clear();
        return *program;
    }
    app::MainForm& form() { return program->form; }
    const PageTable& table() { return program->pageTable; }
    void selectOnly(int count) {
        auto& list = form().FileListBox1;
        for (int i = 0; i < list.count(); ++i) list.setSelected(i, i < count);
    }
    void expectUnlocked() {
        EXPECT_FALSE(form().lockselection.checked());
        EXPECT_FALSE(form().ColumnLengthPixels.enabled());
        EXPECT_FALSE(form().ColumnLengthPages.enabled());
        EXPECT_FALSE(form().Numberofcolumnsperprintedpage.enabled());
        EXPECT_TRUE(form().Compressiontoggle1.enabled());
        EXPECT_TRUE(form().Autocrop1.enabled());
        EXPECT_EQ(form().compressionselection.items(),
                  (std::vector<std::string>{"None 100%", "High", "Medium", "Low"}));
    }
    std::vector<std::string> errorBoxes() const {
        std::vector<std::string> out;
        for (const auto& m : fake.messages)
            if (m.kind == app::MessageKind::Error) out.push_back(m.text);
        return out;
    }
};

TEST_F(LockTest, LocksWithProgressTextsInOrderAndMeasuresEveryPage) {
    writePages(2);
    start();
    form().lockselection.click();

    ASSERT_TRUE(form().lockselection.checked());
    // The layout refresh may write its size line before the totals replace it.
    std::vector<std::string> own;
    for (const auto& t : texts)
        if (t.rfind("Please", 0) == 0 || t.rfind("Autocrop", 0) == 0 || t.rfind("Compression", 0) == 0)
            own.push_back(t);
    EXPECT_EQ(own, (std::vector<std::string>{
                       "Please Wait.....",
                       "Autocrop processing . . . 0/2.   0%  complete",
                       "Autocrop processing . . . 1/2.   50%  complete",
                       "Autocrop processing . . . 2/2.   100%  complete",
                       "Compression statistics processing . . . 1/2 bitmaps processed.",
                       "Compression statistics processing . . . 2/2 bitmaps processed.",
                       "Compression in total lines; [high,medium,low,no compression] : "
                       "[48, 52, 60, 64]"}));
    EXPECT_EQ(texts.back(), own.back());
    EXPECT_EQ(fake.log, (std::vector<std::string>{"busy on", "beep", "busy off", "busy on",
                                                  "busy off"}));
    // Two pages autocropped, two statistics pages, and hide-and-show at the end.
    EXPECT_EQ(raised, 5);

    // Text at columns 5..34, rows 4..35 of each page: 32 rows, a gap of 10
    // per page, and 4 + 4 blank rows outside the boxes.
    EXPECT_EQ(table().CropTopLeft[1].X, 5);
    EXPECT_EQ(table().CropTopLeft[2].Y, 4);
    EXPECT_EQ(table().CropBottomRight[2].X, 34);
    EXPECT_EQ(table().CropBottomRight[1].Y, 35);
    EXPECT_EQ(table().TotalLines, 64);
    EXPECT_EQ(table().TotalWidth, 60);
    EXPECT_EQ(table().RemovedHigh, 16);
    EXPECT_EQ(table().RemovedMedium, 12);
    EXPECT_EQ(table().RemovedLow, 4);
    EXPECT_EQ(form().compressionselection.items(),
              (std::vector<std::string>{"None 100%", "High 75%", "Medium 81.25%", "Low 93.75%"}));

    EXPECT_TRUE(form().ColumnLengthPixels.enabled());
    EXPECT_TRUE(form().ColumnLengthPages.enabled());
    EXPECT_TRUE(form().Numberofcolumnsperprintedpage.enabled());
    EXPECT_FALSE(form().Compressiontoggle1.enabled());
    EXPECT_FALSE(form().Autocrop1.enabled());
    form().Autocrop1.click();  // a shortcut cannot reach it while locked
    EXPECT_TRUE(form().Autocrop1.checked());
}

TEST_F(LockTest, LayoutFieldsWaitForTheLockFromStartUp) {
    writePages(2);
    start();
    expectUnlocked();
}

TEST_F(LockTest, UncheckingByHandUnlocks) {
    writePages(2);
    start();
    form().lockselection.click();
    ASSERT_TRUE(form().lockselection.checked());
    form().lockselection.click();
    expectUnlocked();
}

TEST_F(LockTest, LockRightAfterStartComputesTheLayout) {
    writePages(3);
    app::Program& p = start();
    ASSERT_FALSE(form().LayoutHandlersEnabled);
    std::vector<bool> flagSeen;
    auto layoutHandler = form().ypixelsperinch.onChange;
    form().ypixelsperinch.onChange = [&] {
        flagSeen.push_back(form().LayoutHandlersEnabled);
        if (layoutHandler) layoutHandler();
    };
    form().lockselection.click();
    ASSERT_TRUE(form().lockselection.checked());
    ASSERT_GE(flagSeen.size(), 2u);  // ypixelsperinch + 1, then - 1
    EXPECT_TRUE(flagSeen.front());
    // With the layout handlers installed the refresh computed a page size.
    if (layoutHandler) {
        EXPECT_GT(p.layoutNumbers.ExternalPageWidthPx, 0);
        EXPECT_GT(p.layoutNumbers.ExternalPageHeightPx, 0);
    }
}

TEST_F(LockTest, CompressionDisabledSkipsStatistics) {
    writePages(2);
    start();
    form().Compressiontoggle1.click();
    ASSERT_FALSE(form().compressionEnabled);
    texts.clear();
    fake.log.clear();
    form().lockselection.click();
    ASSERT_TRUE(form().lockselection.checked());
    for (const auto& t : texts) EXPECT_EQ(t.find("statistics"), std::string::npos) << t;
    EXPECT_EQ(texts.back(), "Compression   D I S A B L E D");
    EXPECT_EQ(table().RemovedHigh, 0);
    EXPECT_EQ(form().compressionselection.items(),
              (std::vector<std::string>{"None 100%", "High 100%", "Medium 100%", "Low 100%"}));
    EXPECT_EQ(fake.log, (std::vector<std::string>{"busy on", "beep", "busy off", "busy on",
                                                  "busy off"}));
}

TEST_F(LockTest, AutocropOffKeepsWholePages) {
    writePages(2, 40, 30);
    start();
    form().Autocrop1.click();
    ASSERT_FALSE(form().Autocrop1.checked());
    texts.clear();
    form().lockselection.click();
    ASSERT_TRUE(form().lockselection.checked());
    EXPECT_EQ(texts[1], "Autocrop Disabled");
    EXPECT_EQ(texts[2], "Autocrop Disabled");
    EXPECT_EQ(table().CropBottomRight[2].X, 39);
    EXPECT_EQ(table().CropBottomRight[2].Y, 29);
    EXPECT_EQ(table().TotalLines, 60);
}

TEST_F(LockTest, BlankRowsAcrossAPageBoundaryCountAsOneGap) {
    // Autocrop off: page 1 ends with 5 blank rows, page 2 starts with 3.
    Bitmap one(40, 15);
    one.fillRect({0, 0, 40, 10}, imaging::kBlack);
    imaging::saveBmp(one, dir.file("a.bmp"));
    Bitmap two(40, 13);
    two.fillRect({0, 3, 40, 13}, imaging::kBlack);
    imaging::saveBmp(two, dir.file("b.bmp"));
    start();
    form().Autocrop1.click();
    form().lockselection.click();
    ASSERT_TRUE(form().lockselection.checked());
    EXPECT_EQ(table().TotalLines, 28);
    EXPECT_EQ(table().RemovedHigh, 6);
    EXPECT_EQ(table().RemovedMedium, 4);
    EXPECT_EQ(table().RemovedLow, 0);
    EXPECT_EQ(texts.back(),
              "Compression in total lines; [high,medium,low,no compression] : [22, 24, 28, 28]");
}

TEST_F(LockTest, ClickInTheFileListUnlocks) {
    writePages(2);
    start();
    form().lockselection.click();
    ASSERT_TRUE(form().lockselection.checked());
    form().FileListBox1.userClick(0);
    expectUnlocked();
}

TEST_F(LockTest, ThreeHundredLockAndThreeHundredAndOneRefuse) {
    writePages(301, 8, 8);
    start();
    selectOnly(300);
    form().lockselection.click();
    EXPECT_TRUE(form().lockselection.checked());
    EXPECT_EQ(texts[299 + 2], "Autocrop processing . . . 300/300.   100%  complete");
    form().lockselection.click();

    selectOnly(301);
    form().Panel1.setText("before");
    texts.clear();
    form().lockselection.click();
    expectUnlocked();
    EXPECT_EQ(form().Panel1.text(), "before");
    EXPECT_EQ(texts, std::vector<std::string>{});
}

TEST_F(LockTest, NothingSelectedLeavesBoxAndStatusAlone) {
    writePages(2);
    start();
    selectOnly(0);
    form().Panel1.setText("before");
    texts.clear();
    form().lockselection.click();
    expectUnlocked();
    EXPECT_EQ(texts, std::vector<std::string>{});
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(LockTest, ColourFileStopsTheLockBeforeAnyPageIsMeasured) {
    writePages(3);
    Bitmap colour(20, 20);
    colour.setMonochrome(false);
    imaging::saveBmp(colour, dir.file("page002.bmp"));
    start();
    form().lockselection.click();
    expectUnlocked();
    EXPECT_EQ(texts, (std::vector<std::string>{"Please Wait.....",
                                               "Bitmaps MUST be monochrome to Lock selection"}));
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(raised, 0);  // the window is hidden and shown only after a "C..." text
}

struct BrokenFile {
    const char* what;
    void (*breakIt)(const std::string& path);
};

class LockWithBrokenFile : public LockTest, public ::testing::WithParamInterface<BrokenFile> {};

TEST_P(LockWithBrokenFile, ReportsTheFileAndUndoesTheLock) {
    writePages(3);
    start();  // selected while the file was sound
    const std::string path = dir.file("page002.bmp");
    GetParam().breakIt(path);
    form().lockselection.click();
    expectUnlocked();
    const auto errors = errorBoxes();
    ASSERT_EQ(errors.size(), 1u) << GetParam().what;
    EXPECT_EQ(errors[0].rfind("Cannot load '" + path + "': ", 0), 0u) << errors[0];
    EXPECT_EQ(errors[0].back(), '.');
    EXPECT_EQ(form().Panel1.text() + ".", "Stopped: " + errors[0]);
    for (const auto& t : texts) EXPECT_NE(t.rfind("Autocrop", 0), 0u) << t;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LockWithBrokenFile,
    ::testing::Values(
        BrokenFile{"deleted", [](const std::string& p) { fs::remove(p); }},
        BrokenFile{"truncated", [](const std::string& p) { fs::resize_file(p, fs::file_size(p) - 20); }},
        BrokenFile{"not a bitmap", [](const std::string& p) {
                       FILE* f = std::fopen(p.c_str(), "wb");
                       std::fputs("plain text, not a picture", f);
                       std::fclose(f);
                   }}));

TEST_F(LockTest, PageTooLargeToComposeIsRefusedBeforeItIsLoaded) {
    writePages(2);
    // A 46340 x 46340 page: within a bitmap's limit, never within a frame's.
    // Its pixel data is a hole in a sparse file; the probe reads headers only.
    std::vector<std::uint8_t> bytes = imaging::encodeBmp(imaging::Bitmap(1, 1));
    for (std::size_t at : {std::size_t(18), std::size_t(22)})
        for (int i = 0; i < 4; ++i) bytes[at + std::size_t(i)] = std::uint8_t(46340 >> (8 * i));
    const std::string path = dir.file("page002.bmp");
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, 62, f);
    std::fclose(f);
    fs::resize_file(path, 62 + std::uintmax_t(5796) * 46340);
    start();
    int loads = 0;
    program->selectionLock.loadPage = [&](const std::string& p) {
        ++loads;
        return imaging::loadBmp(p);
    };
    form().lockselection.click();
    expectUnlocked();
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(errorBoxes(), (std::vector<std::string>{"Cannot lock '" + path +
                                                      "': a page of 46340 x 46340 pixels is too large to compose "
                                                      "(at most 1073741824 pixels)."}));
    EXPECT_EQ(form().Panel1.text() + ".", "Stopped: " + errorBoxes()[0]);
}

TEST_F(LockTest, FailureWhileMeasuringUndoesLockAndRestoresCursor) {
    writePages(3);
    start();
    int loads = 0;
    program->selectionLock.loadPage = [&](const std::string& path) {
        if (++loads == 2) throw imaging::BitmapError("Bitmap pixel data is truncated");
        return imaging::loadBmp(path);
    };
    form().lockselection.click();
    expectUnlocked();
    EXPECT_EQ(errorBoxes(), (std::vector<std::string>{
                                "Cannot load '" + dir.file("page002.bmp") +
                                "': Bitmap pixel data is truncated."}));
    EXPECT_EQ(texts, (std::vector<std::string>{"Please Wait.....",
                                               "Autocrop processing . . . 0/3.   0%  complete",
                                               "Autocrop processing . . . 1/3.   33%  complete",
                                               "Stopped: Cannot load '" + dir.file("page002.bmp") +
                                                   "': Bitmap pixel data is truncated"}));
    EXPECT_FALSE(fake.busy);
    EXPECT_EQ(fake.beeps, 0);
}

// A 1-bit BMP whose header claims w x h pixels, followed by one row of data.
void writeClaimedSize(const std::string& path, std::uint32_t w, std::uint32_t h) {
    std::vector<std::uint8_t> b(62 + 64, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, std::uint32_t(b.size()));
    put32(10, 62);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1, b[28] = 1;
    b[58] = b[59] = b[60] = 0xff;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

TEST_F(LockTest, PageWhosePixelsCannotBeHeldIsTooBig) {
    struct Case { const char* what; std::function<Bitmap(const std::string&)> loader; };
    const std::vector<Case> cases{
        {"over the size limit, real loader", nullptr},
        {"no memory for the store",
         [](const std::string& p) -> Bitmap {
             if (p.ends_with("page002.bmp")) throw imaging::BitmapTooLarge("Not enough memory");
             return imaging::loadBmp(p);
         }},
        {"allocation failure", [](const std::string&) -> Bitmap { throw std::bad_alloc(); }}};
    writePages(2);
    for (const Case& c : cases) {
        fake.messages.clear();
        if (!c.loader) writeClaimedSize(dir.file("page002.bmp"), 70000, 40000);
        else writePages(2);
        start();
        if (c.loader) program->selectionLock.loadPage = c.loader;
        form().lockselection.click();
        expectUnlocked();
        ASSERT_FALSE(texts.empty()) << c.what;
        EXPECT_EQ(texts.back(), "Too big !") << c.what;
        EXPECT_TRUE(fake.messages.empty()) << c.what;
        EXPECT_FALSE(fake.busy) << c.what;
    }
}

TEST_F(LockTest, EveryPageIsLoadedOncePerLock) {
    writePages(4);
    start();
    int loads = 0;
    program->selectionLock.loadPage = [&](const std::string& path) {
        ++loads;
        return imaging::loadBmp(path);
    };
    form().lockselection.click();
    ASSERT_TRUE(form().lockselection.checked());
    EXPECT_EQ(loads, 4);
}

TEST_F(LockTest, RelockOverwritesTheTableForANewSelection) {
    writePages(3);
    imaging::saveBmp(textPage(60, 50), dir.file("page003.bmp"));
    start();
    form().lockselection.click();
    EXPECT_EQ(table().LargestWidth, 50);
    form().lockselection.click();
    selectOnly(2);
    form().lockselection.click();
    ASSERT_TRUE(form().lockselection.checked());
    EXPECT_EQ(table().LargestWidth, 30);
    EXPECT_EQ(table().TotalLines, 64);
}

TEST(SourceDirectory, RootLosesItsSeparatorSoJoiningNeverDoublesIt) {
    EXPECT_EQ(app::cutRoot("/"), "");
    EXPECT_EQ(app::cutRoot("/home/pages"), "/home/pages");
    EXPECT_EQ(app::cutRoot("/home/pages/"), "/home/pages");
    EXPECT_EQ(app::joinPath("/", "page1.bmp"), "/page1.bmp");
}

}  // namespace
}  // namespace quillet::analysis
