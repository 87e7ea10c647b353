#include "analysis/autocrop.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "analysis/scan_lines.h"
#include "base/int32.h"

namespace quillet::analysis {

namespace {

// Walks from line 0 towards the far edge: jumps to the next ink line, then
// measures the ink run there; a run of six or more lines gives the edge, a
// shorter one is passed over. scan(mode, line) is ScanLines in the forward
// direction. A blank scan of 0 from a line that holds ink, or from the blank
// line the ink scan stopped on, only happens on the far line: no edge.
template <class Scan>
std::optional<int> walkForward(Scan scan) {
    int x = 0;
    for (;;) {
        x += scan(ScanMode::FindInk, x);
        const int w = scan(ScanMode::FindBlank, x);
        if (w >= kMinInkRun) return x;
        if (w == 0) return std::nullopt;
        x += w;
    }
}

// The same walk from the last line backwards (offsets are 0 or negative).
template <class Scan>
std::optional<int> walkBackward(Scan scan, int lastLine) {
    int x = lastLine;
    for (;;) {
        x += scan(ScanMode::FindInk, x);
        const int w = scan(ScanMode::FindBlank, x);
        if (w <= -kMinInkRun) return x;
        if (w == 0) return std::nullopt;
        x += w;
    }
}

}  // namespace

CropBox wholePage(const imaging::Bitmap& page) {
    return {0, 0, page.width() - 1, page.height() - 1};
}

CropBox findCropBox(const imaging::Bitmap& page) {
    const int w = page.width();
    const int h = page.height();
    CropBox box = wholePage(page);
    if (w == 0 || h == 0) return box;

    // Left and right edges are found over every row: one projection serves both.
    const ColumnProjection columns(page, 0, h - 1);
    auto scanRight = [&](ScanMode m, int x) { return columns.scan(m, ScanDirection::Right, x); };
    auto scanLeft = [&](ScanMode m, int x) { return columns.scan(m, ScanDirection::Left, x); };
    // Top and bottom edges are found over every column.
    const RowScanner rows(page, 0, w - 1);
    auto scanDown = [&](ScanMode m, int y) { return rows.scan(m, ScanDirection::Down, y); };
    auto scanUp = [&](ScanMode m, int y) { return rows.scan(m, ScanDirection::Up, y); };

    if (auto left = walkForward(scanRight)) box.left = *left;
    if (auto top = walkForward(scanDown)) box.top = *top;
    if (auto right = walkBackward(scanLeft, w - 1)) box.right = *right;
    if (auto bottom = walkBackward(scanUp, h - 1)) box.bottom = *bottom;
    return box;
}

std::string autocropProgressText(int k, int n) {
    return "Autocrop processing . . . " + std::to_string(k) + "/" + std::to_string(n) + ".   " +
           std::to_string(std::int64_t(k) * 100 / n) + "%  complete";
}

AutocropPass::AutocropPass(app::MainForm& form, app::PlatformServices& platform,
                           PageTable& table, bool enabled)
    : form_(form), platform_(platform), table_(table), enabled_(enabled) {}

void AutocropPass::begin(int pageCount) {
    pageCount_ = pageCount;
    if (enabled_) {
        form_.Panel1.setText(autocropProgressText(0, pageCount));
        platform_.processPaintEvents();
    }
    table_.LargestWidth = 0;
    table_.LongestHeight = 0;
    table_.TotalLines = 0;
    table_.TotalWidth = 0;
    totalLines_ = 0;
    totalWidth_ = 0;
    platform_.setBusyCursor(true);
}

CropBox AutocropPass::addPage(int k, const imaging::Bitmap& page) {
    CropBox box;
    if (enabled_) {
        box = findCropBox(page);
        form_.Panel1.setText(autocropProgressText(k, pageCount_));
        form_.window.bringToFront();
    } else {
        box = wholePage(page);
        form_.Panel1.setText("Autocrop Disabled");
    }
    platform_.processPaintEvents();

    table_.CropTopLeft[std::size_t(k)] = {box.left, box.top};
    table_.CropBottomRight[std::size_t(k)] = {box.right, box.bottom};
    const std::int32_t height = box.bottom - box.top + 1;
    const std::int32_t width = box.right - box.left + 1;
    totalLines_ += height;
    totalWidth_ += width;
    table_.TotalLines = base::toInt32(totalLines_);
    table_.TotalWidth = base::toInt32(totalWidth_);
    table_.LargestWidth = std::max(table_.LargestWidth, width);
    table_.LongestHeight = std::max(table_.LongestHeight, height);
    return box;
}

void AutocropPass::end() {
    platform_.beep();
    platform_.setBusyCursor(false);
}

}  // namespace quillet::analysis
