// Compression and placing checked row by row against the input: no ink row
// is lost or reordered, blank runs keep exactly the chosen number of rows
// (also across strip junctions), cuts never split a text line, a block
// taller than the column is cut into full columns, Row format boxes.

#include <gtest/gtest.h>

#include <random>

#include "layout/strip.h"
#include "layout/strip_chain.h"
#include "layout/strip_compression.h"
#include "layout/strip_writer.h"
#include "analysis/scan_lines.h"
#include "support/bitmap_text.h"
#include "tests/layout/composition_rig.h"

namespace quillet::compositiontest {
namespace {

using Row = std::vector<std::uint64_t>;

// One column of an external page (borders all 0): its rows.
struct Column {
    std::vector<Row> rows;
    std::vector<bool> ink;
};

// The columns of every external page in reading order.
std::vector<Column> outputColumns(const Rig& rig, int pageWidth, int columns, int height) {
    std::vector<Column> out;
    for (int m = 1; m <= rig.composition.lastResult().pages; ++m) {
        const Bitmap page = rig.output(m);
        EXPECT_EQ(page.width(), pageWidth * columns);
        EXPECT_EQ(page.height(), height);
        for (int j = 0; j < columns; ++j) {
            Column c;
            for (int y = 0; y < page.height(); ++y) {
                Row r = rowWords(page, y, j * pageWidth, pageWidth);
                bool any = false;
                for (auto w : r) any |= w != 0;
                c.rows.push_back(std::move(r));
                c.ink.push_back(any);
            }
            out.push_back(std::move(c));
        }
    }
    return out;
}

// The input rows stacked as the strips hold them (zero borders, whole-page
// crops), with their ink flags.
Column inputRows(const Rig& rig, int width) {
    Column c;
    for (const Bitmap& p : rig.pages)
        for (int y = 0; y < p.height(); ++y) {
            c.rows.push_back(rowWords(p, y, 0, width));
            c.ink.push_back(!rowBlank(p, y));
        }
    return c;
}

TEST(CompositionPlacing, HighCompressionKeepsEveryInkRowAndExactlyTwoBlankRows) {
    Rig rig;
    // 8 pages of 2500 rows: the first strip closes after page 7 (17500 rows),
    // so a junction falls between pages 7 and 8; margins make the blank runs
    // at page edges long.
    for (int i = 0; i < 8; ++i)
        rig.addPage(makeTextPage({.width = 64, .height = 2500, .topMargin = 4 + i, .bottomMargin = 9, .maxGap = 30},
                                 200 + i));
    rig.lock();
    rig.layoutFields(1500, 3);
    rig.compression(1);  // High: 2 blank rows
    rig.press();
    ASSERT_EQ(rig.form.Panel1.text().rfind("Done. . .  saved ", 0), 0u) << rig.form.Panel1.text();

    const Column in = inputRows(rig, 64);
    // Input ink rows with the blank run before each.
    std::vector<std::size_t> inkIndex;
    for (std::size_t y = 0; y < in.rows.size(); ++y)
        if (in.ink[y]) inkIndex.push_back(y);

    std::size_t next = 0;  // next input ink row expected
    int checkedGaps = 0;
    for (const Column& col : outputColumns(rig, 64, 3, 1500)) {
        int lastInk = -1;
        for (int y = 0; y < int(col.rows.size()); ++y) {
            if (!col.ink[std::size_t(y)]) continue;
            ASSERT_LT(next, inkIndex.size()) << "more ink rows out than in";
            ASSERT_EQ(col.rows[std::size_t(y)], in.rows[inkIndex[next]]) << "ink row " << next;
            if (lastInk >= 0) {
                const std::size_t inputGap = inkIndex[next] - inkIndex[next - 1] - 1;
                ASSERT_EQ(std::size_t(y - lastInk - 1), std::min<std::size_t>(inputGap, 2))
                    << "gap before ink row " << next;
                ++checkedGaps;
            }
            lastInk = y;
            ++next;
        }
    }
    EXPECT_EQ(next, inkIndex.size()) << "ink rows lost";
    EXPECT_GT(checkedGaps, 1000);

    // The compression texts: one per kept row, percentages rising to at most 100.
    int compressionTexts = 0, last = -1;
    for (const std::string& t : rig.statusTexts) {
        if (t.rfind("Compression processing . . . ", 0) != 0) continue;
        ++compressionTexts;
        ASSERT_EQ(t.substr(t.size() - 24), "% of lines processed.   ");
        const int pct = std::stoi(t.substr(29));
        ASSERT_GE(pct, last);
        ASSERT_LE(pct, 100);
        last = pct;
    }
    EXPECT_GT(compressionTexts, int(inkIndex.size()));
    EXPECT_LT(compressionTexts, int(in.rows.size()));
    EXPECT_EQ(rig.statusTexts.back(), "Done. . .  saved " + std::to_string(rig.composition.lastResult().pages) + " pages.");
}

// Maximal runs of ink rows, as lists of rows.
std::vector<std::vector<Row>> inkBlocks(const Column& c) {
    std::vector<std::vector<Row>> blocks;
    bool open = false;
    for (std::size_t y = 0; y < c.rows.size(); ++y) {
        if (c.ink[y]) {
            if (!open) blocks.emplace_back();
            blocks.back().push_back(c.rows[y]);
            open = true;
        } else {
            open = false;
        }
    }
    return blocks;
}

TEST(CompositionPlacing, ColumnCutsNeverSplitATextLine) {
    for (const int item : {0, 2}) {  // no compression, Medium
        Rig rig;
        for (int i = 0; i < 6; ++i)
            rig.addPage(makeTextPage({.width = 128, .height = 1200, .minLine = 10, .maxLine = 40, .minGap = 1,
                                      .maxGap = 6},
                                     300 + i));
        rig.lock();
        rig.layoutFields(500, 2);
        if (item) rig.compression(item);
        rig.press();
        const Column in = inputRows(rig, 128);
        std::vector<std::vector<Row>> out;
        for (const Column& col : outputColumns(rig, 128, 2, 500))
            for (auto& b : inkBlocks(col)) out.push_back(std::move(b));
        const auto expected = inkBlocks(in);
        ASSERT_EQ(out.size(), expected.size()) << "compression item " << item;
        for (std::size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], expected[i]) << "line " << i;
    }
}

TEST(CompositionPlacing, BlockTallerThanTheColumnIsCutIntoFullColumns) {
    Rig rig;
    Bitmap page(64, 4000);
    for (int y = 0; y < 50; ++y) page.setBlack(y, y, true);            // a few text rows
    page.fillRect(imaging::Rect{0, 60, 64, 60 + 3200}, imaging::kBlack);  // the figure
    for (int y = 3300; y < 3350; ++y) page.setBlack(y % 64, y, true);
    rig.addPage(page);
    rig.lock();
    rig.layoutFields(1000, 2);
    rig.press();

    const auto columns = outputColumns(rig, 64, 2, 1000);
    // The first column ends at the blank row above the figure (60 rows);
    // then the figure fills three full columns and its last 200 rows start
    // the fifth: three pages, not hundreds of two-row columns.
    EXPECT_EQ(rig.composition.lastResult().pages, 3);
    int solidRows = 0, fullSolidColumns = 0;
    for (const Column& c : columns) {
        int solidHere = 0;
        for (const Row& r : c.rows) {
            bool solid = true;
            for (auto w : r) solid &= w == ~std::uint64_t(0);
            solidHere += solid;
        }
        solidRows += solidHere;
        fullSolidColumns += solidHere == 1000;
    }
    EXPECT_EQ(solidRows, 3200);
    EXPECT_EQ(fullSolidColumns, 3);
}

TEST(CompositionPlacing, RowFormatPlacesTwoRowsOfThreePerPage) {
    Rig rig;
    for (int i = 0; i < 8; ++i)
        rig.addPage(makeTextPage({.width = 60 + 5 * i, .height = 50 + 4 * i, .topMargin = 0}, 400 + i));
    rig.lock();  // LargestWidth 95, LongestHeight 78
    rig.form.outputFormat = app::OutputFormat::Row;
    rig.form.Fixpagesizetolongestheight1.setChecked(true);
    rig.form.Fixpagesizetolongestwidth1.setChecked(true);
    rig.form.Stretchtolargestwidth1.setChecked(false);
    rig.numbers.InternalBottomPx = 2;  // s = 80, t = 160
    rig.layoutFields(170, 3, 2);
    rig.press();

    ASSERT_EQ(rig.composition.lastResult().pages, 2);
    for (int m = 1; m <= 2; ++m) {
        const Bitmap out = rig.output(m);
        ASSERT_EQ(out.width(), 3 * 95);
        ASSERT_EQ(out.height(), 170);  // CLP + E + F
        Bitmap expected(3 * 95, 170);
        for (int slot = 0; slot < 6; ++slot) {
            const int k = (m - 1) * 6 + slot;
            if (k >= 8) break;
            const Bitmap& p = rig.pages[std::size_t(k)];
            expected.blit((slot % 3) * 95, (slot / 3) * 80, p, 0, 0, p.width(), p.height());
        }
        EXPECT_BITMAPS_EQUAL(out, expected) << "page " << m;
    }
}

// A cut at a blank row with compression on skips the blank rows after it:
// the next column starts with ink. The progress texts of compression and
// placing count the rows as they go.
TEST(CompositionPlacing, CutAtABlankRowSkipsTheBlankRowsAfterItAndProgressCounts) {
    Rig rig;
    Bitmap page(64, 40);  // ink rows 0..9 and 20..39, a gap of 10 blank rows
    page.fillRect({0, 0, 64, 10}, imaging::kBlack);
    page.fillRect({0, 20, 64, 40}, imaging::kBlack);
    page.setBlack(5, 25, false);  // a row told apart from the others
    rig.addPage(page);
    rig.lock();
    rig.compression(1);           // High: 2 blank rows kept, rows 18 and 19
    rig.layoutFields(11, 2);      // row 11 of the compressed strip is blank
    rig.press();

    const Bitmap out = rig.output(1);
    EXPECT_EQ(rowWords(out, 10, 0, 64), rowWords(page, 18, 0, 64));  // the cut row ends column 1
    for (int y = 0; y < 11; ++y)  // column 2 goes on at ink row 20, not at blank row 19
        EXPECT_EQ(rowWords(out, y, 64, 64), rowWords(page, 20 + y, 0, 64)) << y;

    std::vector<std::string> compression, placing;
    for (const std::string& t : rig.statusTexts) {
        if (t.starts_with("Compression processing . . . ")) compression.push_back(t);
        if (t.starts_with("Final layout processing . . .  ")) placing.push_back(t);
    }
    // One text per kept source row r (0..9, 18..39): (1 + r) x 100 div 40.
    ASSERT_EQ(compression.size(), 32u);
    EXPECT_EQ(compression[0], "Compression processing . . . 2% of lines processed.   ");
    EXPECT_EQ(compression[10], "Compression processing . . . 47% of lines processed.   ");
    EXPECT_EQ(compression.back(), "Compression processing . . . 100% of lines processed.   ");
    // After each piece: 100 - half-up(rows left x 100 / 32): 20, 9 and 0 left.
    EXPECT_EQ(placing, (std::vector<std::string>{"Final layout processing . . .  37%",
                                                 "Final layout processing . . .  72%",
                                                 "Final layout processing . . .  100%"}));
}

// Without a fixed width each box is its page's own width; a box that does not
// fit steps the page counter back and starts the next page. Every page of
// the run is as wide as the widest box. With bi = 0 the cut falls at row s
// even where ink runs across it.
TEST(CompositionPlacing, RowFormatWithoutFixedWidthGivesPagesOfOneWidth) {
    Rig rig;
    for (int w : {40, 90, 40, 40, 40, 30}) {
        Bitmap b = makeTextPage({.width = w, .height = 50, .topMargin = 0, .bottomMargin = 0}, 500 + w);
        b.fillRect({0, 48, w, 50}, imaging::kBlack);
        rig.addPage(b);
    }
    rig.lock();
    rig.form.outputFormat = app::OutputFormat::Row;
    rig.form.Fixpagesizetolongestheight1.setChecked(true);
    rig.form.Fixpagesizetolongestwidth1.setChecked(false);
    rig.form.Stretchtolargestwidth1.setChecked(false);
    rig.layoutFields(50, 1, 1);  // page area 47 wide (the average), one row of boxes
    rig.press();

    const std::vector<std::vector<int>> pagesOfBoxes{{0}, {1}, {2, 3}, {4, 5}};
    ASSERT_EQ(rig.composition.lastResult().pages, int(pagesOfBoxes.size()));
    for (std::size_t m = 0; m < pagesOfBoxes.size(); ++m) {
        Bitmap expected(90, 50);
        int x = 0;
        for (int k : pagesOfBoxes[m]) {
            const Bitmap& p = rig.pages[std::size_t(k)];
            expected.blit(x, 0, p, 0, 0, p.width(), p.height());
            x += p.width();
        }
        EXPECT_BITMAPS_EQUAL(rig.output(int(m) + 1), expected) << "page " << m + 1;
    }
}

// The strip's scans keep the line scan's walk and results.
TEST(CompositionPlacing, StripScansMatchTheLineScan) {
    std::mt19937 rng(9);
    for (int trial = 0; trial < 200; ++trial) {
        const int h = 2 + int(rng() % 40), w = 1 + int(rng() % 150);
        Bitmap b(w, h);
        for (int y = 0; y < h; ++y)
            if (rng() % 3 == 0) b.setBlack(int(rng() % unsigned(w)), y, true);
        if (trial % 5 == 0) b.fillRect(imaging::Rect{0, h / 2, w, h}, imaging::kBlack);
        layout::Strip strip;
        strip.bitmap = b;
        using analysis::ScanDirection;
        using analysis::ScanMode;
        for (int from = 0; from < h; ++from) {
            ASSERT_EQ(layout::scanInkDown(strip, from),
                      analysis::ScanLines(ScanMode::FindInk, b, ScanDirection::Down, from, 0, w - 1));
            ASSERT_EQ(layout::scanInkUp(strip, from),
                      analysis::ScanLines(ScanMode::FindInk, b, ScanDirection::Up, from, 0, w - 1));
            ASSERT_EQ(layout::scanBlankUp(strip, from),
                      analysis::ScanLines(ScanMode::FindBlank, b, ScanDirection::Up, from, 0, w - 1));
        }
    }
}

// The strip placing cuts from, topped up again and again and cut from the
// top, holds exactly the rows a list of rows would, and copies them out.
TEST(CompositionPlacing, StripChainHoldsTheRowsStillPresentThenTheAppendedOnes) {
    std::mt19937 rng(13);
    const int w = 150;
    layout::StripChain chain;
    std::vector<Row> model;
    for (int step = 0; step < 60; ++step) {
        layout::Strip below;
        below.bitmap = Bitmap(w, int(rng() % 90));
        for (int y = 0; y < below.bitmap.height(); ++y)
            if (rng() % 3) below.bitmap.setBlack(int(rng() % w), y, true);
        below.top = below.bitmap.height() > 4 ? int(rng() % 3) : 0;  // a strip already cut from
        for (int y = below.top; y < below.bitmap.height(); ++y) model.push_back(rowWords(below.bitmap, y, 0, w));
        chain.append(std::move(below));
        const int top = int(rng() % 40);
        chain.removeTop(top);
        model.erase(model.begin(), model.begin() + std::min<std::size_t>(std::size_t(top), model.size()));
        ASSERT_EQ(chain.height(), int(model.size())) << "step " << step;
        const int rows = std::min(chain.height(), 70);
        Bitmap out(w + 5, rows);
        chain.copyTop(out, 5, 0, w, rows);
        for (int y = 0; y < rows; ++y) {
            ASSERT_EQ(rowWords(out, y, 5, w), model[std::size_t(y)]) << "step " << step << " row " << y;
            bool blank = true;
            for (std::uint64_t word : model[std::size_t(y)]) blank = blank && word == 0;
            ASSERT_EQ(chain.rowBlank(y), blank) << "step " << step << " row " << y;
        }
    }
}

// The kept rows are those of the row-by-row rule: copy the source row, and
// skip ahead when the next ink is more than tag rows away; blank runs may
// span the frames the strip is written in.
TEST(CompositionPlacing, KeptRowsFollowTheRowByRowRule) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 300; ++trial) {
        const int h = 1 + int(rng() % 60);
        const int w = 1 + int(rng() % 700);
        Bitmap b(w, h);
        for (int y = 0; y < h; ++y)
            if (rng() % 4 == 0) b.setBlack(int(rng() % unsigned(w)), y, true);
        for (const int tag : {0, 2, 4, 8}) {
            std::vector<int> expected;
            for (int src = 0; src < h; ++src) {
                const int g = analysis::ScanLines(analysis::ScanMode::FindInk, b, analysis::ScanDirection::Down,
                                                  src, 0, w - 1);
                if (g > tag) src += g - tag;
                expected.push_back(src);
            }
            layout::Strip strip;
            layout::StripWriter writer(strip, w, h, tag);
            for (int y = 0; y < h;) {
                const int n = std::min(h - y, 1 + int(rng() % 12));
                Bitmap frame(w, n);
                frame.blit(0, 0, b, 0, y, w, n);
                writer.append(frame);
                y += n;
            }
            writer.close();
            std::vector<int> kept;
            for (const auto& r : strip.keptRuns)
                for (int y = r.first; y < r.last; ++y) kept.push_back(y);
            ASSERT_EQ(kept, expected) << "tag " << tag << " trial " << trial;
            ASSERT_EQ(strip.originalHeight, h);
            ASSERT_EQ(strip.height(), int(kept.size()));
            for (int y = 0; y < strip.height(); ++y)
                ASSERT_TRUE(std::equal(strip.row(y), strip.row(y) + b.wordsPerRow(), b.row(kept[std::size_t(y)])))
                    << "tag " << tag << " trial " << trial << " row " << y;
        }
    }
}

}  // namespace
}  // namespace quillet::compositiontest
