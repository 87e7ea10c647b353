#include "cleanup/deskew.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "cleanup/leptonica.h"
#include "cleanup/page_masks.h"

namespace quillet::cleanup {

namespace {

using imaging::Bitmap;
using imaging::Rect;

// The measure works on the page reduced to about 150 dpi, the sweep at half
// that: enough for a hundredth of a degree on a page of text.
int searchReduction(int dpi) { return dpi >= 450 ? 4 : dpi >= 225 ? 2 : 1; }

// Pages whose reduced image is smaller than this hold no lines to measure.
constexpr int kMinMeasuredSide = 32;

// Leptonica turns by two shears up to this angle, by three beyond.
constexpr double kMaxTwoShearRadians = 0.05;

// How far past each edge the ink may be carried while the page is turned
// `degrees` about (cx, cy): the shears move it before it lands, so each
// shear's reach is added in turn, either way (a bound, not the exact path),
// plus a pixel for their rounding.
struct Overhang {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool any() const { return left + top + right + bottom > 0; }
};
Overhang overhang(const Bitmap& page, const Rect& ink, double degrees, double cx, double cy) {
    const double a = std::abs(degrees) * 3.14159265358979323846 / 180.0;
    double x0 = ink.left, x1 = ink.right, y0 = ink.top, y1 = ink.bottom;
    auto across = [&](double k) {  // a horizontal shear: rows move sideways
        const double by = k * std::max(std::abs(y0 - cy), std::abs(y1 - cy));
        x0 -= by, x1 += by;
    };
    auto down = [&](double k) {  // a vertical shear: columns move up and down
        const double by = k * std::max(std::abs(x0 - cx), std::abs(x1 - cx));
        y0 -= by, y1 += by;
    };
    if (a <= kMaxTwoShearRadians) {
        across(std::tan(a));
        down(std::tan(a));
    } else {
        across(std::tan(a / 2));
        down(std::sin(a));
        across(std::tan(a / 2));
    }
    auto past = [](double by) { return by > 0 ? int(std::ceil(by)) + 1 : 0; };
    return {past(-x0), past(-y0), past(x1 - page.width()), past(y1 - page.height())};
}

// Leptonica's binary search lands on a grid of 1/64 degree; the top of a
// parabola through the scores around it finds the angle between (to a few
// thousandths of a degree on a page of text). A curve with no top near the
// angle leaves it as it is.
double refined(const Bitmap& page, double degrees, int reduction) {
    constexpr int kSteps = 21;
    constexpr double kHalf = 0.1;
    std::vector<double> at;
    for (int i = 0; i < kSteps; ++i) at.push_back(degrees - kHalf + 2 * kHalf * i / (kSteps - 1));
    const std::vector<double> score = leptonica::skewScores(page, reduction, at);
    // Least squares of score = a x^2 + b x + c, x = (angle - degrees) / kHalf.
    double m[3][4] = {};
    for (int i = 0; i < kSteps; ++i) {
        const double x = (at[std::size_t(i)] - degrees) / kHalf, p[3] = {x * x, x, 1.0};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) m[r][c] += p[r] * p[c];
            m[r][3] += p[r] * score[std::size_t(i)];
        }
    }
    for (int r = 0; r < 3; ++r)
        for (int below = r + 1; below < 3; ++below) {
            const double f = m[below][r] / m[r][r];
            for (int c = r; c < 4; ++c) m[below][c] -= f * m[r][c];
        }
    const double c = m[2][3] / m[2][2], b = (m[1][3] - m[1][2] * c) / m[1][1];
    const double a = (m[0][3] - m[0][2] * c - m[0][1] * b) / m[0][0];
    const double top = -b / (2 * a);
    return a < 0 && std::abs(top) < 1 ? degrees + top * kHalf : degrees;
}

// The page turned `degrees` clockwise about its centre, grown where its ink
// would leave it.
Bitmap turned(const Bitmap& page, double degrees) {
    const int cx = page.width() / 2, cy = page.height() / 2;
    const Overhang o = overhang(page, inkBounds(page), degrees, cx, cy);
    if (!o.any()) return leptonica::rotateByShear(page, degrees, cx, cy);
    Bitmap grown(page.width() + o.left + o.right, page.height() + o.top + o.bottom);
    grown.blit(o.left, o.top, page, 0, 0, page.width(), page.height());
    return leptonica::rotateByShear(grown, degrees, cx + o.left, cy + o.top);
}

}  // namespace

Deskewed deskew(const Bitmap& page, const DeskewSettings& settings) {
    using Outcome = DeskewReport::Outcome;
    Deskewed out{page, {}};
    const int search = searchReduction(settings.dpi);
    if (std::min(page.width(), page.height()) / search < kMinMeasuredSide) return out;
    const leptonica::Skew skew =
        leptonica::findSkew(page, settings.maxDegrees + 2.0, std::min(8, 2 * search), search);
    // No confidence at all: the scores were too weak to mean anything (an
    // all-black page, a few dots).
    if (!skew.found || skew.confidence <= 0) return out;
    // Leptonica gives the turn that straightens the page; the page's skew is
    // the opposite.
    const double turn = refined(page, skew.degrees, search);
    DeskewReport& r = out.report;
    r.degrees = -turn;
    r.confidence = skew.confidence;
    if (skew.confidence < settings.minConfidence) r.outcome = Outcome::Unsure;
    else if (std::abs(turn) < settings.minDegrees) r.outcome = Outcome::Straight;
    else {
        out.page = turned(page, turn);
        r.outcome = Outcome::Straightened;
    }
    return out;
}

}  // namespace quillet::cleanup
