#include "layout/layout_geometry.h"

#include <algorithm>
#include <limits>

#include "base/rounding.h"
#include "base/scope_guard.h"

namespace quillet::layout {

using base::halfUp;
using base::intDiv;
using base::intMod;
using base::kInchesPerMm;
using base::kMmPerInch;
using base::roundEven;
using base::toInt32;

namespace {

// The layout handlers kept from reacting for a scope: the flag is cleared
// and put back on every way out, an exception too.
class HandlersQuiet {
public:
    explicit HandlersQuiet(app::MainForm& form) : quiet_(form.LayoutHandlersEnabled, false) {}

private:
    base::ScopedValue<bool> quiet_;
};

// A run-time minimum or step kept inside the field's own range, so that a
// field can never be driven outside its declared range by its minimum.
int boundTo(std::int64_t v, int lo, int hi) { return int(std::clamp<std::int64_t>(v, lo, hi)); }

}  // namespace

// ---------------------------------------------------------------- inputs

double LayoutInputs::stackedLines() const {
    if (fixedHeightWithoutCompression()) return double(SelectedCount) * double(LongestHeight);
    return double(TotalLines);
}

double LayoutInputs::averagePageLines() const {
    if (SelectedCount < 1) return 0.0;
    return stackedLines() / double(SelectedCount);
}

double LayoutInputs::columnWidthPx() const {
    if (fixedWidth) return double(LargestWidth);
    if (SelectedCount < 1) return 0.0;
    return double(TotalWidth) / double(SelectedCount);
}

std::int64_t LayoutInputs::averagePagePx() const {
    if (fixedHeightWithoutCompression()) return roundEven(f * double(LongestHeight));
    if (SelectedCount < 1) return 0;
    return roundEven(f * double(TotalLines) / double(SelectedCount));
}

LayoutInputs readLayoutInputs(const app::MainForm& form, const output::PrintedSizeDialog& size,
                              const BordersDialog& borders, const analysis::PageTable& table) {
    LayoutInputs in;
    in.printedWidthMm = size.SpinEdit1.value();
    in.printedHeightMm = size.SpinEdit2.value();
    in.topint = borders.topint.value();
    in.bottomint = borders.bottomint.value();
    in.leftint = borders.leftint.value();
    in.rightint = borders.rightint.value();
    in.topext = borders.topext.value();
    in.bottomext = borders.bottomext.value();
    in.leftext = borders.leftext.value();
    in.rightext = borders.rightext.value();
    in.LargestWidth = table.LargestWidth;
    in.LongestHeight = table.LongestHeight;
    in.TotalLines = table.TotalLines;
    in.TotalWidth = table.TotalWidth;
    int level = std::clamp(form.compressionselection.itemIndex(), 0,
                           int(table.CompressionFactor.size()) - 1);
    in.f = table.CompressionFactor[std::size_t(level)];
    in.SelectedCount = form.FileListBox1.selectedCount();
    in.fixedWidth = form.Fixpagesizetolongestwidth1.checked();
    in.fixedHeight = form.Fixpagesizetolongestheight1.checked();
    in.outputFormat = form.outputFormat;
    in.CLP = form.ColumnLengthPixels.value();
    in.P = form.ColumnLengthPages.value();
    in.N = form.Numberofcolumnsperprintedpage.value();
    in.X = form.xpixelsperinch.value();
    in.Y = form.ypixelsperinch.value();
    in.NPP = form.numberofprintedpages.value();
    return in;
}

// ---------------------------------------------------------------- composition values

CompositionGeometryCheck checkCompositionGeometry(const LayoutInputs& in,
                                                  const LayoutNumbers& numbers) {
    CompositionGeometryCheck check;
    CompositionGeometry& g = check.geometry;
    auto refuse = [&check](CompositionRefusal why) {
        check.refusal = why;
        return check;
    };
    g.usableHeightMm = in.usableHeightMm();
    g.usableWidthMm = in.usableWidthMm();
    if (g.usableHeightMm <= 0) return refuse(CompositionRefusal::UsableHeight);
    if (g.usableWidthMm <= 0) return refuse(CompositionRefusal::UsableWidth);
    if (in.SelectedCount < 1 || in.N < 1) return refuse(CompositionRefusal::NoColumn);
    g.columnContentMm = in.columnContentMm();
    if (!(g.columnContentMm > 0)) return refuse(CompositionRefusal::ColumnContent);

    const std::int64_t ti = numbers.InternalTopPx, bi = numbers.InternalBottomPx;
    check.targetRows = in.outputFormat == app::OutputFormat::Row
                           ? std::int64_t(in.P) * (std::int64_t(in.LongestHeight) + ti + bi)
                           : std::int64_t(in.CLP);
    if (check.targetRows <= 0 || check.targetRows > std::numeric_limits<std::int32_t>::max())
        return refuse(CompositionRefusal::TargetHeight);
    g.targetHeight = std::int32_t(check.targetRows);

    g.verticalScale = double(in.CLP) / double(g.usableHeightMm);
    g.E = toInt32(roundEven(double(in.topext) * g.verticalScale));
    g.F = toInt32(roundEven(double(in.bottomext) * g.verticalScale));

    g.horizontalScale = in.columnWidthPx() / g.columnContentMm;
    g.G = toInt32(roundEven(double(in.leftext) * g.horizontalScale));
    g.H = toInt32(roundEven(double(in.rightext) * g.horizontalScale));

    const std::int64_t li = numbers.InternalLeftPx, ri = numbers.InternalRightPx;
    const std::int64_t column = in.fixedWidth
                                    ? std::int64_t(in.LargestWidth)
                                    : halfUp(double(in.TotalWidth) / double(in.SelectedCount));
    check.pageAreaPx = std::int64_t(in.N) * (column + li + ri);
    if (check.pageAreaPx <= 0 || check.pageAreaPx > std::numeric_limits<std::int32_t>::max())
        return refuse(CompositionRefusal::PageAreaWidth);
    g.pageAreaWidth = std::int32_t(check.pageAreaPx);
    return check;
}

std::optional<CompositionGeometry> compositionGeometry(const LayoutInputs& in,
                                                       const LayoutNumbers& numbers) {
    CompositionGeometryCheck check = checkCompositionGeometry(in, numbers);
    if (check.refusal != CompositionRefusal::None) return std::nullopt;
    return check.geometry;
}

// ---------------------------------------------------------------- estimate and size line

bool writePrintedPageEstimate(app::NumberField& npp, app::OutputFormat format, std::int64_t T,
                              std::int64_t CLP, std::int64_t N, std::int64_t rowHeight) {
    std::int64_t k = 0;
    if (format == app::OutputFormat::Column) {
        k = CLP * N;
    } else {
        if (rowHeight <= 0) return false;
        std::int64_t q = intDiv(CLP, rowHeight);
        k = q * rowHeight * N;
    }
    if (k <= 0) return false;
    npp.setValue(toInt32(intDiv(T, k) + 1));
    std::int64_t rest = intMod(T, k);
    bool lower = format == app::OutputFormat::Column ? double(rest) < 0.05 * double(k) : rest == 0;
    if (lower) npp.setValue(npp.value() - 1);
    return true;
}

std::string sizeLine(std::int64_t width, std::int64_t height, std::int64_t npp) {
    // width x height stays below 2^62 for 32-bit sides; the total is formed
    // from the exact product without overflowing 64 bits.
    std::int64_t bits = width * height;
    std::int64_t pageK = bits / 8192;
    std::int64_t totalK = npp * pageK + (npp * (bits % 8192)) / 8192;
    return std::to_string(width) + ", " + std::to_string(height) + " (" + std::to_string(npp) +
           " x " + std::to_string(pageK) + "K = " + std::to_string(totalK) + "K)";
}

// ---------------------------------------------------------------- the handlers

LayoutGeometry::LayoutGeometry(app::MainForm& form, const output::PrintedSizeDialog& size,
                               const BordersDialog& borders, const analysis::PageTable& table,
                               LayoutNumbers& n)
    : numbers(n), form_(form), size_(size), borders_(borders), table_(table) {}

void LayoutGeometry::install() {
    form_.ColumnLengthPixels.onChange = [this] { ColumnLengthPixelsChange(); };
    form_.ColumnLengthPages.onChange = [this] { ColumnLengthPagesChange(); };
    form_.Numberofcolumnsperprintedpage.onChange = [this] { NumberofcolumnsperprintedpageChange(); };
    form_.xpixelsperinch.onChange = [this] { xpixelsperinchChange(); };
    form_.ypixelsperinch.onChange = [this] { ypixelsperinchChange(); };
}

LayoutInputs LayoutGeometry::inputs() const {
    return readLayoutInputs(form_, size_, borders_, table_);
}

bool LayoutGeometry::hasRoom(const LayoutInputs& in) {
    if (in.SelectedCount < 1 || in.N < 1) return false;
    if (in.usableHeightMm() <= 0 || in.usableWidthMm() <= 0) return false;
    if (in.columnContentMm() <= 0) return false;
    if (in.usableHeightMm() - in.topint - in.bottomint <= 0) return false;
    return true;
}

bool LayoutGeometry::active() const { return form_.LayoutHandlersEnabled && form_.locked(); }

void LayoutGeometry::reportNoRoom() { form_.Panel1.setText(kNoRoomText); }

void LayoutGeometry::RecomputeLayoutNumbers() {
    const LayoutInputs in = inputs();
    if (!hasRoom(in)) {
        reportNoRoom();
        return;
    }
    const double UH = in.usableHeightMm();
    const double UW = in.usableWidthMm();
    LayoutNumbers& n = numbers;

    // 1. Vertical border widths at the column length's own scale.
    const double sv = double(in.CLP) / UH;
    n.InternalTopPx = toInt32(roundEven(sv * in.topint));
    n.InternalBottomPx = toInt32(roundEven(sv * in.bottomint));
    n.ExternalTopPx = toInt32(roundEven(sv * in.topext));
    n.ExternalBottomPx = toInt32(roundEven(sv * in.bottomext));

    // 2. Horizontal border widths: one page's width allowance over the
    //    millimetres one column leaves for it.
    const double cw = in.columnWidthPx();
    const double sh = cw / in.columnContentMm();
    n.InternalLeftPx = toInt32(roundEven(sh * in.leftint));
    n.InternalRightPx = toInt32(roundEven(sh * in.rightint));
    n.ExternalLeftPx = toInt32(roundEven(sh * in.leftext));
    n.ExternalRightPx = toInt32(roundEven(sh * in.rightext));

    // 3. The external page, rounded once.
    n.ExternalPageWidthPx = toInt32(roundEven(double(in.N) * (cw + n.InternalLeftPx + n.InternalRightPx) +
                                              n.ExternalLeftPx + n.ExternalRightPx));
    n.ExternalPageHeightPx =
        toInt32(std::int64_t(in.CLP) + n.ExternalTopPx + n.ExternalBottomPx);

    // 4. Minimum column length: one average page with its internal borders.
    const double d = UH - in.topint - in.bottomint;
    const double a = in.averagePageLines();
    const std::int64_t top = roundEven(a / d * in.topint);
    const std::int64_t bottom = roundEven(a / d * in.bottomint);
    const std::int64_t page = in.averagePagePx();
    app::NumberField& clp = form_.ColumnLengthPixels;
    const int minimum = boundTo(top + page + bottom, 1, clp.maximum());
    clp.setMinimum(minimum);

    // 5. Minimum vertical resolution.
    app::NumberField& y = form_.ypixelsperinch;
    y.setMinimum(boundTo(halfUp(double(minimum) * kMmPerInch / UH), 0, y.maximum()));

    // 6. Raise the column length to its minimum; with the flag set this runs
    //    the column length handler nested, to its end.
    if (clp.value() < minimum) clp.setValue(minimum);

    // 7. Arrow step of the horizontal resolution: about one column's worth.
    const double w = in.fixedWidth ? double(in.LargestWidth)
                                   : double(roundEven(double(in.TotalWidth) / in.SelectedCount));
    app::NumberField& x = form_.xpixelsperinch;
    x.setStep(boundTo(halfUp((w + n.InternalLeftPx + n.InternalRightPx) / UW * kMmPerInch), 1,
                      x.maximum()));
}

void LayoutGeometry::ColumnLengthPixelsChange() {
    if (!active()) return;
    if (!hasRoom(inputs())) {
        reportNoRoom();
        return;
    }
    RecomputeLayoutNumbers();
    const HandlersQuiet quiet(form_);
    const LayoutInputs in = inputs();  // the column length may have been raised
    form_.ypixelsperinch.setValue(
        toInt32(halfUp(double(in.CLP) / in.usableHeightMm() * kMmPerInch)));
    searchColumnLengthPages(in);
    writeEstimateAndSizeLine();
}

void LayoutGeometry::searchColumnLengthPages(const LayoutInputs& in) {
    app::NumberField& pages = form_.ColumnLengthPages;
    const double UH = in.usableHeightMm();
    const double a = in.averagePageLines();
    const double perPage = in.f * in.stackedLines() / in.SelectedCount;
    pages.setValue(1);
    for (;;) {
        const int P = pages.value();
        const double m = UH / P - in.topint - in.bottomint;
        // No millimetres left per page: P pages cannot fit, whatever the length.
        bool exceeds = m <= 0;
        if (!exceeds) {
            const double s = a / m;
            const std::int64_t t = roundEven(s * in.topint);
            const std::int64_t b = roundEven(s * in.bottomint);
            const std::int64_t need = halfUp(P * (double(b) + perPage + double(t)));
            exceeds = need > in.CLP;
        }
        if (exceeds) break;
        // Every page count up to the field's maximum fits: it stays there.
        if (P >= pages.maximum()) return;
        pages.setValue(P + 1);
        if (pages.value() != P + 1) return;  // the field refused to grow
    }
    pages.setValue(pages.value() - 1);
}

void LayoutGeometry::writeEstimateAndSizeLine() {
    const LayoutInputs in = inputs();
    const std::int64_t ti = numbers.InternalTopPx, bi = numbers.InternalBottomPx;
    const std::int64_t T =
        roundEven(in.f * in.stackedLines() + double(in.SelectedCount) * double(ti + bi));
    const std::int64_t rowHeight = std::int64_t(in.LongestHeight) + ti + bi;
    if (!writePrintedPageEstimate(form_.numberofprintedpages, in.outputFormat, T, in.CLP, in.N,
                                  rowHeight)) {
        form_.Panel1.setText(in.outputFormat == app::OutputFormat::Row ? kNoRowText : kNoRoomText);
        return;
    }
    form_.Panel1.setText(sizeLine(numbers.ExternalPageWidthPx, numbers.ExternalPageHeightPx,
                                  form_.numberofprintedpages.value()));
}

void LayoutGeometry::ColumnLengthPagesChange() {
    if (!active()) return;
    const LayoutInputs in = inputs();
    if (in.P < 1) return;  // a count still being typed; the field's clamp follows
    if (!hasRoom(in)) {
        reportNoRoom();
        return;
    }
    const double UH = in.usableHeightMm();
    const double mp = UH / in.P - in.topint - in.bottomint;
    if (mp <= 0) {
        reportNoRoom();
        return;
    }
    LayoutNumbers& n = numbers;

    // 1. Vertical border widths at the page-based scale.
    const double sp = in.averagePageLines() / mp;
    n.InternalTopPx = toInt32(roundEven(sp * in.topint));
    n.InternalBottomPx = toInt32(roundEven(sp * in.bottomint));
    n.ExternalTopPx = toInt32(roundEven(sp * in.topext));
    n.ExternalBottomPx = toInt32(roundEven(sp * in.bottomext));

    // 2-3. The column length from the pages, quietly.
    const HandlersQuiet quiet(form_);
    app::NumberField& clp = form_.ColumnLengthPixels;
    const double perPage = in.f * in.stackedLines() / in.SelectedCount;
    clp.setValue(toInt32(
        halfUp(in.P * (perPage + double(n.InternalTopPx) + double(n.InternalBottomPx)))));

    // 4. One page: the minimum is one average page with these borders.
    if (in.P == 1) {
        const int minimum = boundTo(
            in.averagePagePx() + std::int64_t(n.InternalTopPx) + n.InternalBottomPx, 1, clp.maximum());
        clp.setMinimum(minimum);
        if (clp.value() < minimum) clp.setValue(minimum);
    }

    // 5. The external page with the horizontal widths of the last recompute.
    const int CLP = clp.value();
    n.ExternalPageWidthPx =
        toInt32(roundEven(double(in.N) * (in.columnWidthPx() + n.InternalLeftPx + n.InternalRightPx) +
                          n.ExternalLeftPx + n.ExternalRightPx));
    n.ExternalPageHeightPx = toInt32(std::int64_t(CLP) + n.ExternalTopPx + n.ExternalBottomPx);

    // 6. The vertical resolution follows, quietly.
    form_.ypixelsperinch.setValue(toInt32(halfUp(double(CLP) * kMmPerInch / UH)));

    // 7.
    writeEstimateAndSizeLine();
}

void LayoutGeometry::NumberofcolumnsperprintedpageChange() {
    if (!active()) return;
    LayoutInputs in = inputs();
    if (in.N < 1) return;  // a count still being typed; the field's clamp follows
    if (!hasRoom(in)) {
        reportNoRoom();
        return;
    }
    const HandlersQuiet quiet(form_);
    RecomputeLayoutNumbers();  // a raise of the column length runs nothing now
    in = inputs();
    const std::int64_t li = numbers.InternalLeftPx, ri = numbers.InternalRightPx;
    app::NumberField& x = form_.xpixelsperinch;
    const std::int64_t inner =
        in.fixedWidth ? std::int64_t(in.N) * (std::int64_t(in.LargestWidth) + li + ri)
                      : halfUp(in.N * (double(in.TotalWidth) / in.SelectedCount + double(li + ri)));
    x.setValue(toInt32(inner));
    x.setValue(toInt32(halfUp(double(x.value()) / in.usableWidthMm() * kMmPerInch)));
    writeEstimateAndSizeLine();
}

void LayoutGeometry::xpixelsperinchChange() {
    if (!active()) return;
    const LayoutInputs in = inputs();
    if (!hasRoom(in)) {
        reportNoRoom();
        return;
    }
    const double column = in.columnWidthPx() + numbers.InternalLeftPx + numbers.InternalRightPx;
    if (column <= 0) {
        reportNoRoom();
        return;
    }
    app::NumberField& cols = form_.Numberofcolumnsperprintedpage;
    const int target = boundTo(
        halfUp(double(in.X) * kInchesPerMm * in.usableWidthMm() / column), 1, cols.maximum());
    // The columns this resolution asks for must leave each column room too.
    LayoutInputs at = in;
    at.N = target;
    if (!hasRoom(at)) {
        reportNoRoom();
        return;
    }
    {
        const HandlersQuiet quiet(form_);
        cols.setValue(cols.maximum());
    }
    cols.setValue(target);
    // A resolution asking for the most columns writes the value the quiet
    // write left, which runs nothing: the layout would stay that of the old
    // column count while the field shows the new one. Run the column count
    // handling for it here.
    if (target == cols.maximum()) NumberofcolumnsperprintedpageChange();
}

void LayoutGeometry::ypixelsperinchChange() {
    if (!active()) return;
    const LayoutInputs in = inputs();
    if (!hasRoom(in)) {
        reportNoRoom();
        return;
    }
    const double UH = in.usableHeightMm();
    app::NumberField& clp = form_.ColumnLengthPixels;
    clp.setValue(toInt32(halfUp(double(in.Y) * kInchesPerMm * UH)));
    app::NumberField& y = form_.ypixelsperinch;
    y.setMinimum(boundTo(halfUp(double(clp.minimum()) * kMmPerInch / UH), 0, y.maximum()));
}

}  // namespace quillet::layout
