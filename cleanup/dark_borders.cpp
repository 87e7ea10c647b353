#include "cleanup/dark_borders.h"

#include <algorithm>
#include <cmath>

#include "cleanup/leptonica.h"
#include "cleanup/page_masks.h"
#include "cleanup/resolution.h"
#include "imaging/bit_rows.h"

namespace quillet::cleanup {

namespace {

using imaging::Bitmap;
using imaging::Rect;
using leptonica::Component;

// Solid ink is ink that survives an opening by a square this wide: text
// strokes, even of bold headings, are thinner.
constexpr double kSolidMm = 1.5;
// Punched holes: round solid blobs of these sides.
constexpr double kHoleMinMm = 3.0, kHoleMaxMm = 12.0, kHoleMaxAspect = 1.6, kHoleMinFill = 0.6;
// What is removed around solid regions, for the ragged rim they leave.
constexpr double kRimMm = 0.5;
// Ink this close to an edge touches it.
constexpr double kEdgeMm = 1.0;
// Edge pieces: thin and long (a page edge), or dense and wide (a shadow that
// is not solid).
constexpr double kLineMaxMm = 2.0, kLineMinLengthMm = 15.0, kPatchMinMm = 3.0, kPatchMinFill = 0.5;
// A page whose borders would take this share of it is left alone.
constexpr double kMostlyDark = 0.75;
// A shadow or a gutter lies beside bare paper: in the band from 1 to 4 mm
// beside solid regions at the edge, at most this share is ink. The dark part
// of a picture lies beside more picture.
constexpr double kBesideFromMm = 1.0, kBesideToMm = 4.0, kPaperMaxInk = 0.3;

// The centre of a width x height page: the quarter of each side nearest an
// edge is the outer zone where borders lie.
Rect centreOf(int width, int height) { return {width / 4, height / 4, width - width / 4, height - height / 4}; }

bool meets(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

double fill(const Component& c) { return double(c.pixels) / (double(c.box.width()) * double(c.box.height())); }

// An odd square side reaching `mm` out from a quarter-size region.
int reach(const Resolution& at, double mm) { return 2 * int(std::lround(at.pixels(mm) / 4)) + 1; }

// Whether the page around the quarter-size regions is mostly paper.
bool besidePaper(const Bitmap& page, const Bitmap& regions, const Resolution& at) {
    Bitmap ring = leptonica::dilate(regions, reach(at, kBesideToMm));
    takeAway(ring, leptonica::dilate(regions, reach(at, kBesideFromMm)));
    const std::int64_t area = 16 * imaging::countInk(ring);
    if (area == 0) return true;
    Bitmap ink = leptonica::expand4(ring, page.width(), page.height());
    keepOnly(ink, page);
    return double(imaging::countInk(ink)) <= kPaperMaxInk * double(area);
}

// The solid regions to remove, at a quarter of the page's size: those that
// touch the edge but do not reach the centre, and holes.
Bitmap solidBorders(const Bitmap& page, const Resolution& at) {
    const Bitmap solid = leptonica::open(leptonica::reduceSolid4(page), int(std::lround(at.pixels(kSolidMm) / 4)));
    const Rect centre = centreOf(solid.width(), solid.height());

    // Two quarter pixels: the reduction drops a partial block at the edge.
    Bitmap seed = frame(solid.width(), solid.height(), 2);
    keepOnly(seed, solid);
    const Bitmap touching = leptonica::fillFrom(seed, solid);
    Bitmap edge = touching;
    takeAway(edge, leptonica::fillFrom(within(touching, centre), touching));
    if (imaging::countInk(edge) > 0 && !besidePaper(page, edge, at)) edge = Bitmap(solid.width(), solid.height());

    // Blobs that touch nothing and stay in the outer zone; of those, holes.
    Bitmap blobs = solid;
    takeAway(blobs, touching);
    takeAway(blobs, leptonica::fillFrom(within(blobs, centre), blobs));
    const double lo = at.pixels(kHoleMinMm) / 4, hi = at.pixels(kHoleMaxMm) / 4;
    int holes = 0;
    const Bitmap others = leptonica::withoutComponents(
        blobs,
        [&](const Component& c) {
            const int a = std::min(c.box.width(), c.box.height()), b = std::max(c.box.width(), c.box.height());
            return a >= lo && b <= hi && b <= kHoleMaxAspect * a && fill(c) >= kHoleMinFill;
        },
        holes);
    takeAway(blobs, others);
    edge.blit(0, 0, blobs, 0, 0, blobs.width(), blobs.height(), imaging::CopyMode::And);
    return edge;
}

// Ink at the edge, outside the centre, that is a long thin line or a dense
// patch.
Bitmap edgePieces(const Bitmap& page, const Resolution& at) {
    Bitmap seed = frame(page.width(), page.height(), std::max(1, int(at.pixels(kEdgeMm))));
    keepOnly(seed, page);
    if (imaging::countInk(seed) == 0) return Bitmap(page.width(), page.height());
    Bitmap edge = leptonica::fillFrom(seed, page);
    const Rect centre = centreOf(page.width(), page.height());
    int dropped = 0;
    const Bitmap kept = leptonica::withoutComponents(
        edge,
        [&](const Component& c) {
            if (meets(c.box, centre)) return false;
            const int a = std::min(c.box.width(), c.box.height()), b = std::max(c.box.width(), c.box.height());
            const bool line = a <= at.pixels(kLineMaxMm) && b >= at.pixels(kLineMinLengthMm);
            const bool patch = a >= at.pixels(kPatchMinMm) && fill(c) >= kPatchMinFill;
            return line || patch;
        },
        dropped);
    takeAway(edge, kept);
    return edge;
}

}  // namespace

BordersRemoved removeDarkBorders(const Bitmap& page, const BorderSettings& settings) {
    BordersRemoved out{page, {}};
    const Resolution at(settings.dpi);
    // Quarter-size images of pages this small hold nothing solid.
    if (page.width() < 16 || page.height() < 16) return out;

    const Bitmap solid = solidBorders(page, at);
    if (imaging::countInk(solid) > 0) {
        const int rim = 2 * int(std::lround(at.pixels(kRimMm))) + 1;
        Bitmap removed = leptonica::dilate(leptonica::expand4(solid, page.width(), page.height()), rim);
        keepOnly(removed, out.page);
        takeAway(out.page, removed);
    }
    takeAway(out.page, edgePieces(out.page, at));

    // What went: counted on the difference, as separate regions.
    Bitmap gone = page;
    takeAway(gone, out.page);
    const std::int64_t pixels = imaging::countInk(gone);
    if (pixels == 0) return out;
    if (double(pixels) > kMostlyDark * double(page.width()) * double(page.height())) {
        out.page = page;
        out.report.leftDark = true;
        return out;
    }
    out.report.pixels = pixels;
    out.report.regions = int(leptonica::componentBoxes(gone).size());
    return out;
}

}  // namespace quillet::cleanup
