#pragma once
// A locked selection for the OK command without the lock itself: pages
// written as BMP files into a scratch folder, all selected, a page table
// filled by hand (crop box = the whole page unless a test says otherwise),
// border widths and layout numbers set by the test. Status texts are
// recorded as they are written.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "analysis/page_table.h"
#include "app/main_form.h"
#include "imaging/bmp_file.h"
#include "layout/borders_dialog.h"
#include "layout/composition.h"
#include "layout/justification_dialog.h"
#include "layout/layout_numbers.h"
#include "output/printed_size_dialog.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace quillet::compositiontest {

using imaging::Bitmap;

// Text drawing needs a QGuiApplication; one for the whole test program.
void ensureGuiApplication();

// The folder the pages are written to and the external pages saved in.
using ScratchFolder = quillet::testing::TempDir;

// A page of "text": blocks of ink rows (every ink row a random, non-blank
// pattern, so rows can be told apart) separated by blank gaps.
struct TextPageSpec {
    int width = 64;
    int height = 400;
    int topMargin = 5;
    int bottomMargin = 5;
    int minLine = 3, maxLine = 12;  // rows per text line
    int minGap = 1, maxGap = 20;    // blank rows between lines
};

inline Bitmap makeTextPage(const TextPageSpec& spec, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bitmap b(spec.width, spec.height);
    int y = spec.topMargin;
    const int end = spec.height - spec.bottomMargin;
    while (y < end) {
        const int line = std::uniform_int_distribution<int>(spec.minLine, spec.maxLine)(rng);
        for (int r = 0; r < line && y < end; ++r, ++y) {
            bool any = false;
            for (int x = 0; x < spec.width; ++x) {
                const bool ink = (rng() & 3) == 0;
                b.setBlack(x, y, ink);
                any |= ink;
            }
            if (!any) b.setBlack(int(rng() % unsigned(spec.width)), y, true);
        }
        y += std::uniform_int_distribution<int>(spec.minGap, spec.maxGap)(rng);
    }
    return b;
}

// Row y of a bitmap as a string of words (for exact row comparison).
inline std::vector<std::uint64_t> rowWords(const Bitmap& b, int y, int x0, int w) {
    std::vector<std::uint64_t> out;
    for (int x = x0; x < x0 + w; x += 64) {
        std::uint64_t word = 0;
        for (int i = 0; i < 64 && x + i < x0 + w; ++i)
            if (x + i < b.width() && b.isBlack(x + i, y)) word |= std::uint64_t(1) << (63 - i);
        out.push_back(word);
    }
    return out;
}

inline bool rowBlank(const Bitmap& b, int y) {
    for (int i = 0; i < b.wordsPerRow(); ++i)
        if (b.row(y)[i] != 0) return false;
    return true;
}

struct Rig {
    ScratchFolder folder;
    testing::FakePlatform platform;
    app::MainForm form;
    analysis::PageTable table;
    layout::LayoutNumbers numbers;
    layout::BordersDialog borders;
    layout::JustificationDialog justification;
    output::PrintedSizeDialog printedSize;
    layout::Composition composition{layout::CompositionContext{form, platform, table, numbers, borders,
                                                               justification, printedSize}};
    std::vector<Bitmap> pages;  // as written, in name order
    std::vector<std::string> statusTexts;

    Rig() {
        ensureGuiApplication();
        // No borders unless a test sets them: every pixel is a page pixel.
        for (app::NumberField* f : {&borders.topint, &borders.bottomint, &borders.leftint, &borders.rightint,
                                    &borders.topext, &borders.bottomext, &borders.leftext, &borders.rightext})
            f->setValue(0);
        form.Panel1.written.connect([this] { statusTexts.push_back(form.Panel1.text()); });
    }

    // Writes page "in<NNN>.bmp" (names sort in the order of addition).
    void addPage(const Bitmap& b) {
        char name[32];
        std::snprintf(name, sizeof name, "in%03d.bmp", int(pages.size()) + 1);
        imaging::saveBmp(b, folder.file(name));
        pages.push_back(b);
    }

    // Lists the folder, selects the input pages, fills the page table with
    // whole-page crop boxes and checks the lock box (no lock handler runs).
    void lock() {
        form.FileListBox1.setDirectory(folder.path());
        app::FileList& list = form.FileListBox1;
        for (int i = 0; i < list.count(); ++i) list.setSelected(i, list.entry(i).rfind("in", 0) == 0);
        table.LargestWidth = table.LongestHeight = table.TotalLines = table.TotalWidth = 0;
        for (std::size_t k = 1; k <= pages.size(); ++k) {
            const Bitmap& b = pages[k - 1];
            table.CropTopLeft[k] = {0, 0};
            table.CropBottomRight[k] = {b.width() - 1, b.height() - 1};
            table.LargestWidth = std::max(table.LargestWidth, b.width());
            table.LongestHeight = std::max(table.LongestHeight, b.height());
            table.TotalLines += b.height();
            table.TotalWidth += b.width();
        }
        form.lockselection.setChecked(true);
    }

    // Column length, columns, and (Row format) pages per column.
    void layoutFields(int clp, int columns, int columnPages = 1) {
        form.ColumnLengthPixels.setValue(clp);
        form.Numberofcolumnsperprintedpage.setValue(columns);
        form.ColumnLengthPages.setValue(columnPages);
    }

    void compression(int item) {
        form.compressionselection.setItemIndex(item);
        form.compressionselection.tag = item == 3 ? 8 : 2 * item;
        table.CompressionFactor = {1.0, 0.7, 0.8, 0.9};
    }

    void press() { composition.Button1Click(); }

    Bitmap output(int m) const { return imaging::loadBmp(folder.file(std::to_string(m) + "page.bmp")); }
    int outputCount() const {
        int n = 0;
        while (folder.exists(std::to_string(n + 1) + "page.bmp")) ++n;
        return n;
    }
};

}  // namespace quillet::compositiontest
