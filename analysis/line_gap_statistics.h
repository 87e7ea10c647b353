#pragma once
// Line-gap compression analysis: how many blank pixel rows each compression
// level (keeping 2, 4 or 8 rows of every blank run) would remove, the factors
// and percentage captions of the compression list, and the list's own
// change and focus handling.

#include <string>

#include "analysis/autocrop.h"
#include "analysis/page_table.h"
#include "app/main_form.h"
#include "app/platform_services.h"
#include "imaging/bitmap.h"

namespace quillet::analysis {

// Pixel rows that High, Medium and Low would remove.
struct LineGapCounts {
    std::int64_t removedHigh = 0;
    std::int64_t removedMedium = 0;
    std::int64_t removedLow = 0;
};

// The statistics walk, one page at a time in list order; the carry of blank
// rows at the bottom of a page joins the first gap of the next page.
class LineGapStatistics {
public:
    // Walks the rows of the page's crop box downwards: each gap (run of rows
    // without ink between box.left and box.right, the carry included) that
    // ends above the bottom row adds g-8 / g-4 / g-2 to Low / Medium / High
    // when larger than 8 / 4 / 2. The walk ends when it reaches or passes the
    // bottom row; the carry becomes the blank rows at the bottom of the box.
    // Preconditions: monochrome page; box inside the page with left <= right
    // and top <= bottom (empty boxes are skipped and leave the carry).
    void addPage(const imaging::Bitmap& page, const CropBox& box);

    const LineGapCounts& counts() const { return counts_; }
    int carry() const { return carry_; }

private:
    LineGapCounts counts_;
    int carry_ = 0;
};

// "Compression statistics processing . . . k/N bitmaps processed."
std::string statisticsProgressText(int k, int n);

// The remaining share of a level as the list shows it: round(100000 *
// (total - removed) / total) with ties to even, times 0.001, in the shortest
// form up to 15 significant digits ("63.333", "100"). A total of 0 gives "100".
std::string compressionPercentage(std::int64_t total, std::int64_t removed);

// Sets CompressionFactor[0..3] from TotalLines and the three counts (all 1.0
// when TotalLines is 0) and captions items 1..3 of the list "High P%",
// "Medium P%", "Low P%"; the selected item stays.
void updateFactorsAndCaptions(PageTable& table, app::ChoiceList& compressionselection);

// Restores the plain captions "High", "Medium", "Low" of items 1..3.
void resetCompressionCaptions(app::ChoiceList& compressionselection);

// The totals line: "Compression in total lines; [high,medium,low,no
// compression] : [T-H, T-M, T-L, T]" when compression is enabled, otherwise
// "Compression   D I S A B L E D".
std::string compressionTotalsText(const PageTable& table, bool compressionEnabled);

// The compression list's handlers (compressionselection.onChange / onFocus).
class CompressionBox {
public:
    CompressionBox(app::MainForm& form, const PageTable& table);

    // The user picked an item: falls back to item 0 when compression is
    // disabled, or in Row format without "Fix Page Size to Largest Width";
    // Tag becomes 0, 2, 4 or 8; then the layout is refreshed.
    void compressionselectionChange();
    // The list got the focus: while locked, in Column format or with a fixed
    // width, the status panel shows the totals line.
    void compressionselectionFocus();

private:
    app::MainForm& form_;
    const PageTable& table_;
};

}  // namespace quillet::analysis
