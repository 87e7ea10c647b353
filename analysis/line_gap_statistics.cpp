#include "analysis/line_gap_statistics.h"

#include <cmath>
#include <cstdio>

#include "analysis/scan_lines.h"
#include "app/nudge_resolutions.h"

namespace quillet::analysis {

namespace {

// Rows kept per gap at High, Medium, Low.
constexpr int kKeepHigh = 2;
constexpr int kKeepMedium = 4;
constexpr int kKeepLow = 8;

}  // namespace

void LineGapStatistics::addPage(const imaging::Bitmap& page, const CropBox& box) {
    if (box.left > box.right || box.top > box.bottom) return;
    const RowScanner rows(page, box.left, box.right);
    const int bottom = box.bottom;
    int y = box.top;
    std::int64_t carry = carry_;
    for (;;) {
        const int r = rows.scan(ScanMode::FindInk, ScanDirection::Down, y);
        const std::int64_t g = carry + r;
        y += r;
        if (y < bottom) {
            if (g > kKeepLow) counts_.removedLow += g - kKeepLow;
            if (g > kKeepMedium) counts_.removedMedium += g - kKeepMedium;
            if (g > kKeepHigh) counts_.removedHigh += g - kKeepHigh;
        }
        carry = 0;
        // The scan may run past the bottom row when that row has no ink
        // between left and right.
        if (y >= bottom) break;
        ++y;
    }
    carry_ = -rows.scan(ScanMode::FindInk, ScanDirection::Up, bottom);
}

std::string statisticsProgressText(int k, int n) {
    return "Compression statistics processing . . . " + std::to_string(k) + "/" +
           std::to_string(n) + " bitmaps processed.";
}

std::string compressionPercentage(std::int64_t total, std::int64_t removed) {
    if (total == 0) return "100";
    // nearbyint rounds halves to the even neighbour in the default mode.
    const double steps = std::nearbyint(100000.0 * double(total - removed) / double(total));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", steps * 0.001);
    return buf;
}

void resetCompressionCaptions(app::ChoiceList& box) {
    box.setItem(1, "High");
    box.setItem(2, "Medium");
    box.setItem(3, "Low");
}

void updateFactorsAndCaptions(PageTable& table, app::ChoiceList& box) {
    const std::int64_t t = table.TotalLines;
    auto factor = [t](std::int64_t removed) {
        return t == 0 ? 1.0 : double(t - removed) / double(t);
    };
    table.CompressionFactor[0] = 1.0;
    table.CompressionFactor[1] = factor(table.RemovedHigh);
    table.CompressionFactor[2] = factor(table.RemovedMedium);
    table.CompressionFactor[3] = factor(table.RemovedLow);
    box.setItem(1, "High " + compressionPercentage(t, table.RemovedHigh) + "%");
    box.setItem(2, "Medium " + compressionPercentage(t, table.RemovedMedium) + "%");
    box.setItem(3, "Low " + compressionPercentage(t, table.RemovedLow) + "%");
}

std::string compressionTotalsText(const PageTable& table, bool compressionEnabled) {
    if (!compressionEnabled) return "Compression   D I S A B L E D";
    const std::int64_t t = table.TotalLines;
    return "Compression in total lines; [high,medium,low,no compression] : [" +
           std::to_string(t - table.RemovedHigh) + ", " + std::to_string(t - table.RemovedMedium) +
           ", " + std::to_string(t - table.RemovedLow) + ", " + std::to_string(t) + "]";
}

CompressionBox::CompressionBox(app::MainForm& form, const PageTable& table)
    : form_(form), table_(table) {}

void CompressionBox::compressionselectionChange() {
    app::ChoiceList& box = form_.compressionselection;
    if (!form_.compressionEnabled ||
        (form_.outputFormat == app::OutputFormat::Row &&
         !form_.Fixpagesizetolongestwidth1.checked()))
        box.setItemIndex(0);
    const int index = box.itemIndex();
    box.tag = index == 3 ? kKeepLow : 2 * index;
    app::NudgeResolutions(form_);
}

void CompressionBox::compressionselectionFocus() {
    if (!form_.locked()) return;
    if (form_.outputFormat != app::OutputFormat::Column &&
        !form_.Fixpagesizetolongestwidth1.checked())
        return;
    form_.Panel1.setText(compressionTotalsText(table_, form_.compressionEnabled));
}

}  // namespace quillet::analysis
