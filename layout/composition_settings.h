#pragma once
// What the OK command reads at its start: the windows it reads from, and one
// snapshot of every value the four phases use (the layout's own inputs, read
// as the layout reads them, the other options, border widths in pixels,
// texts and fonts, justification, and the derived values of the external
// page as the layout geometry computes them), with the checks that refuse
// settings that leave no room and base file names the file system cannot
// take.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/page_table.h"
#include "app/main_form.h"
#include "app/platform_services.h"
#include "imaging/bitmap.h"
#include "layout/borders_dialog.h"
#include "layout/justification_dialog.h"
#include "layout/layout_geometry.h"
#include "layout/layout_numbers.h"
#include "output/printed_size_dialog.h"

namespace quillet::layout {

// The windows and program-wide values the command reads (and, for the main
// window, writes: status panel, output directory, file list).
struct CompositionContext {
    app::MainForm& form;
    app::PlatformServices& platform;
    const analysis::PageTable& pages;
    const LayoutNumbers& numbers;
    const BordersDialog& borders;
    const JustificationDialog& justification;
    const output::PrintedSizeDialog& printedSize;
};

// A header or footer as drawn: text and font (the size is set when drawn).
struct BorderTextSetting {
    std::string text;
    imaging::Font font;
};

// The snapshot taken at the start of a run.
struct CompositionSettings {
    // ---- selection and page table
    int N = 0;                       // SelectedCount, page slots 1..N
    std::vector<std::string> names;  // the selected file names, list order
    std::string sourceDirectory;     // the file list's directory, cut form
    const analysis::PageTable* pages = nullptr;

    // ---- what the layout reads: printed size, border widths in
    // millimetres, page table statistics, Fix Page Size to Largest Width /
    // Longest Height, OutputFormat and the layout fields (CLP, P =
    // ColumnLengthPages, N = Numberofcolumnsperprintedpage)
    LayoutInputs layout;

    // ---- the other options
    bool stretchWidth = true;   // Stretch to Largest Width
    bool stretchHeight = false; // Stretch to Longest Height
    bool updateFileList = true; // Update Filelist after 'OK'

    // ---- compression: on when High, Medium or Low is selected
    bool compress = false;
    int tag = 0;                  // blank rows kept per gap
    bool factorDiffersFromOne = false;  // CompressionFactor of the level != 1

    // ---- internal borders in pixels, the estimated external page size
    int ti = 0, bi = 0, li = 0, ri = 0;
    std::int64_t estimatedWidthPx = 0, estimatedHeightPx = 0;  // ExternalPage*Px

    // ---- texts
    BorderTextSetting inthead, intfoot, exthead, extfoot;

    // ---- justification
    HorizontalJustification horizontal = HorizontalJustification::Left;
    VerticalJustification vertical = VerticalJustification::Top;

    // ---- output
    std::string baseName;         // the filename edit
    std::string outputDirectory;  // after the output directory rule, cut form

    // ---- derived values, as the layout geometry computes them
    CompositionGeometry geometry;

    bool rowFormat() const { return layout.outputFormat == app::OutputFormat::Row; }
    // Frame width: LargestWidth + li + ri.
    int frameWidth() const { return pages->LargestWidth + li + ri; }
    // The name of external page m: m + base name + ".bmp".
    std::string pageFileName(int m) const { return std::to_string(m) + baseName + ".bmp"; }
};

// Reads every setting from the windows. Does not apply the output directory
// rule (the command does that first) and computes no derived value.
CompositionSettings readCompositionSettings(const CompositionContext& ctx);

// Computes the derived values of the external page into `s.geometry` with
// checkCompositionGeometry. Returns a message for the user when the settings
// leave no room for the pages (usable height or width of 0 mm or less, column
// content width Wc of 0 mm or less, a target height of 0 rows or less, or a
// size beyond 32 bits); nothing when all is well.
std::optional<std::string> computeDerivedValues(CompositionSettings& s);

// Checks a base file name for the external pages. Returns a message when the
// name would put pages outside the output directory or cannot be a file
// name: empty, ".", "..", holding "/" or a NUL character, or too long for the
// file system once a page number and ".bmp" are added. Nothing when it is
// fine.
std::optional<std::string> checkBaseFileName(const std::string& base);

}  // namespace quillet::layout
