#include "layout/composition_settings.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/output_directory.h"

namespace quillet::layout {

namespace {

BorderTextSetting textOf(const BorderText& t) { return {t.field.text(), t.font}; }

std::string formatMm(double mm) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", mm);
    return buf;
}

// The longest file name the file system takes (NAME_MAX where defined).
constexpr std::size_t kNameMax =
#ifdef NAME_MAX
    NAME_MAX;
#else
    255;
#endif

}  // namespace

std::int32_t roundToEven(double x) {
    if (std::isnan(x)) return 0;
    const double r = std::nearbyint(x);
    if (r >= double(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
    if (r <= double(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(r);
}

CompositionSettings readCompositionSettings(const CompositionContext& ctx) {
    const app::MainForm& f = ctx.form;
    CompositionSettings s;
    s.names = f.FileListBox1.selectedNames();
    s.N = int(s.names.size());
    s.sourceDirectory = app::cutRoot(f.directory());
    s.pages = &ctx.pages;

    s.format = f.outputFormat;
    s.stretchWidth = f.Stretchtolargestwidth1.checked();
    s.stretchHeight = f.Stretchtolargestheight1.checked();
    s.fixWidth = f.Fixpagesizetolongestwidth1.checked();
    s.fixHeight = f.Fixpagesizetolongestheight1.checked();
    s.updateFileList = f.UpdatefilelistafterOK1.checked();

    const int level = f.compressionselection.itemIndex();
    s.compress = level >= 1 && level <= 3;
    s.tag = s.compress ? f.compressionselection.tag : 0;
    s.factorDiffersFromOne = s.compress && ctx.pages.CompressionFactor[std::size_t(level)] != 1.0;

    s.CLP = f.ColumnLengthPixels.value();
    s.columnPages = f.ColumnLengthPages.value();
    s.NCOLS = f.Numberofcolumnsperprintedpage.value();
    s.ti = ctx.numbers.InternalTopPx;
    s.bi = ctx.numbers.InternalBottomPx;
    s.li = ctx.numbers.InternalLeftPx;
    s.ri = ctx.numbers.InternalRightPx;
    s.estimatedWidthPx = ctx.numbers.ExternalPageWidthPx;
    s.estimatedHeightPx = ctx.numbers.ExternalPageHeightPx;

    const BordersDialog& b = ctx.borders;
    s.topint = b.topint.value();
    s.bottomint = b.bottomint.value();
    s.leftint = b.leftint.value();
    s.rightint = b.rightint.value();
    s.topext = b.topext.value();
    s.bottomext = b.bottomext.value();
    s.leftext = b.leftext.value();
    s.rightext = b.rightext.value();
    s.inthead = textOf(b.inthead);
    s.intfoot = textOf(b.intfoot);
    s.exthead = textOf(b.exthead);
    s.extfoot = textOf(b.extfoot);

    s.horizontal = ctx.justification.horizontal();
    s.vertical = ctx.justification.vertical();

    s.baseName = f.filename.text();
    s.outputDirectory = app::cutRoot(f.OutputDirectory);

    s.usableHeightMm = ctx.printedSize.heightMm() - s.topext - s.bottomext;
    s.usableWidthMm = ctx.printedSize.widthMm() - s.leftext - s.rightext;
    return s;
}

std::optional<std::string> computeDerivedValues(CompositionSettings& s) {
    if (s.usableHeightMm <= 0)
        return "No room for the pages: the printed height less the external top and bottom borders is " +
               std::to_string(s.usableHeightMm) +
               " mm. Make the external borders smaller or the printed size larger.";
    if (s.usableWidthMm <= 0)
        return "No room for the pages: the printed width less the external left and right borders is " +
               std::to_string(s.usableWidthMm) +
               " mm. Make the external borders smaller or the printed size larger.";
    if (s.NCOLS < 1 || s.N < 1)
        return "No room for the pages: there is no column to place them in.";
    s.columnContentMm = double(s.usableWidthMm) / s.NCOLS - s.leftint - s.rightint;
    if (!(s.columnContentMm > 0))
        return "No room for the pages: each of the " + std::to_string(s.NCOLS) + " columns leaves " +
               formatMm(s.columnContentMm) +
               " mm for a page once the internal left and right borders are taken off. Use fewer "
               "columns or smaller borders.";

    const analysis::PageTable& p = *s.pages;
    const std::int64_t rowHeight = std::int64_t(p.LongestHeight) + s.ti + s.bi;
    const std::int64_t t = s.rowFormat() ? std::int64_t(s.columnPages) * rowHeight : s.CLP;
    if (t <= 0 || t > std::numeric_limits<std::int32_t>::max())
        return "No room for the pages: the column length leaves " + std::to_string(t) +
               " pixel rows for them.";
    s.t = std::int32_t(t);

    const double sv = double(s.CLP) / s.usableHeightMm;
    s.E = roundToEven(s.topext * sv);
    s.F = roundToEven(s.bottomext * sv);
    const double columnWidth = s.fixWidth ? double(p.LargestWidth) : double(p.TotalWidth) / s.N;
    const double sh = columnWidth / s.columnContentMm;
    s.G = roundToEven(s.leftext * sh);
    s.H = roundToEven(s.rightext * sh);

    const std::int64_t inner =
        s.fixWidth ? std::int64_t(p.LargestWidth) : std::int64_t(std::trunc(double(p.TotalWidth) / s.N + 0.5));
    const std::int64_t paw = std::int64_t(s.NCOLS) * (inner + s.li + s.ri);
    if (paw <= 0 || paw > std::numeric_limits<std::int32_t>::max())
        return "No room for the pages: the external page would be " + std::to_string(paw) +
               " pixels wide.";
    s.pageAreaWidth = std::int32_t(paw);
    return std::nullopt;
}

std::optional<std::string> checkBaseFileName(const std::string& base) {
    const std::string advice =
        " The external pages are written into the output directory as page number + base file "
        "name + \".bmp\"; choose a plain name such as page.";
    if (base.empty()) return "The base file name is empty." + advice;
    if (base == "." || base == "..") return "The base file name \"" + base + "\" is not a file name." + advice;
    if (base.find('/') != std::string::npos)
        return "The base file name \"" + base + "\" holds a path separator \"/\"." + advice;
    if (base.find('\0') != std::string::npos) return "The base file name holds a NUL character." + advice;
    // The largest page number has at most 10 digits.
    if (base.size() + 10 + 4 > kNameMax)
        return "The base file name is too long for the file system once a page number and \".bmp\" "
               "are added." + advice;
    return std::nullopt;
}

}  // namespace quillet::layout
