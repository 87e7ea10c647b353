#pragma once
// The layout geometry: the six linked fields of the main window (column
// length in pixels and in pages, columns per printed page, the two
// resolutions, the printed page estimate), the border widths and external
// page size in pixels that follow from them, and the size line in the status
// panel.

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/page_table.h"
#include "app/main_form.h"
#include "layout/borders_dialog.h"
#include "layout/layout_numbers.h"
#include "output/printed_size_dialog.h"

namespace quillet::layout {

// The status text written instead of the size line when the printed size and
// the borders leave the pages no room (a usable height or width, or the room
// of a column or page, of 0 mm or less).
inline constexpr const char* kNoRoomText =
    "The borders leave no room for the pages: reduce the borders or enlarge the printed size";

// The status text written instead of the size line in Row format when not
// even one row of pages fits in the column length.
inline constexpr const char* kNoRowText =
    "The column length holds no row of pages: lengthen the column or reduce the internal borders";

// Everything the layout reads, taken afresh from the windows at each use.
struct LayoutInputs {
    int printedWidthMm = 210;   // W, SpinEdit1 of the printed size dialog
    int printedHeightMm = 297;  // H, SpinEdit2
    int topint = 0, bottomint = 1, leftint = 0, rightint = 1;  // border widths, mm
    int topext = 0, bottomext = 3, leftext = 0, rightext = 0;
    std::int32_t LargestWidth = 0;  // page table statistics, pixels
    std::int32_t LongestHeight = 0;
    std::int32_t TotalLines = 0;
    std::int32_t TotalWidth = 0;
    double f = 1.0;          // compression factor of the chosen compression item
    int SelectedCount = 0;   // selected files; at least 1 while locked
    bool fixedWidth = true;  // Fixpagesizetolongestwidth1 checked
    bool fixedHeight = false;  // Fixpagesizetolongestheight1 checked
    app::OutputFormat outputFormat = app::OutputFormat::Column;
    // Field values (a text that is not a number reads as the field's minimum).
    int CLP = 1, P = 1, N = 1, X = 600, Y = 600, NPP = 1;

    // Printed height less the external top and bottom borders.
    int usableHeightMm() const { return printedHeightMm - topext - bottomext; }
    // Printed width less the external left and right borders.
    int usableWidthMm() const { return printedWidthMm - leftext - rightext; }
    // Wc: the millimetres one column leaves for a page, usableWidthMm / N -
    // leftint - rightint. Precondition: N >= 1.
    double columnContentMm() const { return double(usableWidthMm()) / double(N) - leftint - rightint; }
    // Fixed height is checked and the factor is exactly 1.0.
    bool fixedHeightWithoutCompression() const { return fixedHeight && f == 1.0; }
    // SelectedCount x LongestHeight with fixed height without compression,
    // else TotalLines.
    double stackedLines() const;
    // StackedLines / SelectedCount (0 when nothing is selected).
    double averagePageLines() const;
    // LargestWidth with fixed width, else TotalWidth / SelectedCount, unrounded
    // (0 when nothing is selected).
    double columnWidthPx() const;
    // Rows of one average page at the chosen compression: round(f x
    // LongestHeight) with fixed height without compression, else
    // round(f x TotalLines / SelectedCount).
    std::int64_t averagePagePx() const;
};

// Gathers the inputs from the main window, the printed size dialog, the
// borders dialog and the page table.
LayoutInputs readLayoutInputs(const app::MainForm& form, const output::PrintedSizeDialog& size,
                              const BordersDialog& borders, const analysis::PageTable& table);

// The values the composition derives from the current fields at the start of
// each run (it does not read the stored external border widths).
struct CompositionGeometry {
    int usableHeightMm = 0;
    int usableWidthMm = 0;
    double verticalScale = 0;     // CLP / usableHeightMm, pixels per mm
    double columnContentMm = 0;   // Wc = usableWidthMm / NCOLS - leftint - rightint
    double horizontalScale = 0;   // column width (LargestWidth or average) / Wc
    std::int32_t E = 0, F = 0;    // external top and bottom, pixels (round)
    std::int32_t G = 0, H = 0;    // external left and right, pixels (round)
    std::int32_t pageAreaWidth = 0;  // NCOLS x (column width + li + ri)
    std::int32_t targetHeight = 0;   // Row: P x (LongestHeight + ti + bi); Column: CLP
};

// Why the composition's derived values leave no room for the pages, in the
// order the checks are made.
enum class CompositionRefusal {
    None,           // all is well
    UsableHeight,   // printed height less topext and bottomext is 0 mm or less
    UsableWidth,    // printed width less leftext and rightext is 0 mm or less
    NoColumn,       // no selection, or fewer than one column
    ColumnContent,  // column content width Wc is 0 mm or less
    TargetHeight,   // target height of 0 rows or less, or beyond 32 bits
    PageAreaWidth,  // page area width of 0 pixels or less, or beyond 32 bits
};

// The composition's derived values together with the check that refuses them.
// On a refusal, `geometry` holds the values computed before the failed check.
struct CompositionGeometryCheck {
    CompositionGeometry geometry;
    CompositionRefusal refusal = CompositionRefusal::None;
    std::int64_t targetRows = 0;   // the target height before its range check
    std::int64_t pageAreaPx = 0;   // the page area width before its range check
};

// Computes the composition's derived values from the inputs and the internal
// border widths of the last layout recompute (ti, bi, li, ri), stopping at the
// first check that fails (see CompositionRefusal). E, F, G and H round with
// ties to even; the unfixed page area width uses trunc(TotalWidth / N + 0.5).
CompositionGeometryCheck checkCompositionGeometry(const LayoutInputs& in,
                                                  const LayoutNumbers& numbers);

// The derived values of checkCompositionGeometry, or nothing when the geometry
// has no room: usable height or width 0 or less, no selection, fewer than one
// column, a column content width Wc of 0 or less, or a target height or page
// area width of 0 or less or beyond the 32-bit range.
std::optional<CompositionGeometry> compositionGeometry(const LayoutInputs& in,
                                                       const LayoutNumbers& numbers);

// Writes the printed page estimate into `npp` (range 1..300) for T stacked
// pixel rows. Column: capacity k = CLP x N; writes T div k + 1, then lowers
// the field by one (reading the clamped value back) when T mod k < 0.05 k.
// Row: r = rowHeight, q = CLP div r, k = q x r x N; writes T div k + 1, then
// lowers by one when T mod k is 0. Returns false, writing nothing, when the
// capacity is 0 or less (in Row format: r <= 0 or q == 0).
bool writePrintedPageEstimate(app::NumberField& npp, app::OutputFormat format, std::int64_t T,
                              std::int64_t CLP, std::int64_t N, std::int64_t rowHeight);

// The size line: "W, H (NPP x <W*H div 8192>K = <NPP*W*H div 8192>K)", the
// products in 64-bit arithmetic, the total taken from the exact product.
// Preconditions: width, height >= 0 and npp >= 0.
std::string sizeLine(std::int64_t width, std::int64_t height, std::int64_t npp);

// The layout's change handling. Install() puts the handlers on the five
// layout fields of the main window; each acts only when
// form.LayoutHandlersEnabled is set and the selection is locked. The inputs
// are read afresh from the windows at every use.
class LayoutGeometry {
public:
    // `numbers` is the program-wide set of layout numbers that this object
    // writes; the windows and the page table are only read.
    LayoutGeometry(app::MainForm& form, const output::PrintedSizeDialog& size,
                   const BordersDialog& borders, const analysis::PageTable& table,
                   LayoutNumbers& numbers);

    // Sets onChange of ColumnLengthPixels, ColumnLengthPages,
    // Numberofcolumnsperprintedpage, xpixelsperinch and ypixelsperinch.
    // numberofprintedpages keeps no handler (its changes do nothing).
    void install();

    // The layout numbers (program-wide, read by the composition).
    LayoutNumbers& numbers;

    // Recomputes the eight border widths, the external page size, the
    // minimum column length (raising the column length to it, which runs the
    // column length handler nested when the flag is set), the minimum
    // vertical resolution and the horizontal resolution step. Does nothing
    // when the geometry has no room (see hasRoom).
    void RecomputeLayoutNumbers();

    // The five change handlers. The horizontal resolution handler writes the
    // column count quietly to its maximum and then to the count the
    // resolution asks for, which runs the column count handler in full; when
    // that count is the maximum itself, it runs the column count handler
    // directly, so the layout always follows the count shown.
    void ColumnLengthPixelsChange();
    void ColumnLengthPagesChange();
    void NumberofcolumnsperprintedpageChange();
    void xpixelsperinchChange();
    void ypixelsperinchChange();

    // The inputs as they stand now.
    LayoutInputs inputs() const;

    // True when the current inputs leave room for the pages: a selection,
    // usable height and width above 0, a column with room left by the
    // internal borders (usableWidthMm / N - leftint - rightint > 0) and a page
    // with room (usableHeightMm - topint - bottomint > 0).
    static bool hasRoom(const LayoutInputs& in);

private:
    bool active() const;
    void reportNoRoom();
    void searchColumnLengthPages(const LayoutInputs& in);
    void writeEstimateAndSizeLine();

    app::MainForm& form_;
    const output::PrintedSizeDialog& size_;
    const BordersDialog& borders_;
    const analysis::PageTable& table_;
};

}  // namespace quillet::layout
