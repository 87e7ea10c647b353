#include "layout/composition_settings.h"

#include <climits>
#include <cstdio>

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

CompositionSettings readCompositionSettings(const CompositionContext& ctx) {
    const app::MainForm& f = ctx.form;
    CompositionSettings s;
    s.names = f.FileListBox1.selectedNames();
    s.N = int(s.names.size());
    s.sourceDirectory = app::cutRoot(f.directory());
    s.pages = &ctx.pages;

    s.layout = readLayoutInputs(f, ctx.printedSize, ctx.borders, ctx.pages);
    s.stretchWidth = f.Stretchtolargestwidth1.checked();
    s.stretchHeight = f.Stretchtolargestheight1.checked();
    s.updateFileList = f.UpdatefilelistafterOK1.checked();

    const int level = f.compressionselection.itemIndex();
    s.compress = level >= 1 && level <= 3;
    s.tag = s.compress ? f.compressionselection.tag : 0;
    s.factorDiffersFromOne = s.compress && ctx.pages.CompressionFactor[std::size_t(level)] != 1.0;

    s.ti = ctx.numbers.InternalTopPx;
    s.bi = ctx.numbers.InternalBottomPx;
    s.li = ctx.numbers.InternalLeftPx;
    s.ri = ctx.numbers.InternalRightPx;
    s.estimatedWidthPx = ctx.numbers.ExternalPageWidthPx;
    s.estimatedHeightPx = ctx.numbers.ExternalPageHeightPx;

    const BordersDialog& b = ctx.borders;
    s.inthead = textOf(b.inthead);
    s.intfoot = textOf(b.intfoot);
    s.exthead = textOf(b.exthead);
    s.extfoot = textOf(b.extfoot);

    s.horizontal = ctx.justification.horizontal();
    s.vertical = ctx.justification.vertical();

    s.baseName = f.filename.text();
    s.outputDirectory = app::cutRoot(f.OutputDirectory);
    return s;
}

std::optional<std::string> computeDerivedValues(CompositionSettings& s) {
    LayoutNumbers internal;
    internal.InternalTopPx = s.ti;
    internal.InternalBottomPx = s.bi;
    internal.InternalLeftPx = s.li;
    internal.InternalRightPx = s.ri;
    const CompositionGeometryCheck check = checkCompositionGeometry(s.layout, internal);
    const CompositionGeometry& g = check.geometry;
    s.geometry = g;

    switch (check.refusal) {
    case CompositionRefusal::None:
        return std::nullopt;
    case CompositionRefusal::UsableHeight:
        return "No room for the pages: the printed height less the external top and bottom borders is " +
               std::to_string(g.usableHeightMm) +
               " mm. Make the external borders smaller or the printed size larger.";
    case CompositionRefusal::UsableWidth:
        return "No room for the pages: the printed width less the external left and right borders is " +
               std::to_string(g.usableWidthMm) +
               " mm. Make the external borders smaller or the printed size larger.";
    case CompositionRefusal::NoColumn:
        return "No room for the pages: there is no column to place them in.";
    case CompositionRefusal::ColumnContent:
        return "No room for the pages: each of the " + std::to_string(s.layout.N) + " columns leaves " +
               formatMm(g.columnContentMm) +
               " mm for a page once the internal left and right borders are taken off. Use fewer "
               "columns or smaller borders.";
    case CompositionRefusal::TargetHeight:
        return "No room for the pages: the column length leaves " + std::to_string(check.targetRows) +
               " pixel rows for them.";
    case CompositionRefusal::PageAreaWidth:
        return "No room for the pages: the external page would be " + std::to_string(check.pageAreaPx) +
               " pixels wide.";
    }
    return "No room for the pages.";
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
