#include "cleanup/clean_page.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

#include "cleanup/cleanup_error.h"

namespace quillet::cleanup {

namespace {

using Outcome = DeskewReport::Outcome;

// 1234567 as "1,234,567".
std::string grouped(std::int64_t n) {
    std::string digits = std::to_string(n), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string counted(std::int64_t n, const char* one, const char* many) {
    return grouped(n) + " " + (n == 1 ? one : many);
}

std::string deskewText(const DeskewReport& r) {
    if (r.outcome == Outcome::NotMeasured) return "no text lines to measure the skew";
    char angle[32];
    std::snprintf(angle, sizeof angle, "%+.2f", std::abs(r.degrees) < 0.005 ? 0.0 : r.degrees);  // no "-0.00"
    const std::string skew = std::string("skew ") + angle + " degrees";
    switch (r.outcome) {
    case Outcome::Straight: return skew + ", left";
    case Outcome::Unsure: return skew + " uncertain, left";
    default: return skew + ", straightened";
    }
}

std::string bordersText(const BorderReport& r) {
    if (r.leftDark) return "nearly all dark: borders left";
    if (r.regions == 0) return "no dark borders";
    return counted(r.regions, "dark region", "dark regions") + " removed (" + counted(r.pixels, "pixel", "pixels") +
           ")";
}

}  // namespace

std::string CleanupReport::summary() const {
    std::vector<std::string> parts;
    if (deskewRan) parts.push_back(deskewText(deskew));
    if (bordersRan) parts.push_back(bordersText(borders));
    if (despeckleRan)
        parts.push_back(specks.specks == 0 ? "no specks" : counted(specks.specks, "speck", "specks") + " removed");
    if (parts.empty()) return "nothing to do";
    std::string line = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i) line += "; " + parts[i];
    return line;
}

int resolutionOf(const imaging::Bitmap& page) {
    const double dpi = page.xPixelsPerMetre * 0.0254;
    return dpi >= 50 && dpi <= 4800 ? int(std::lround(dpi)) : 300;
}

void refuseUncleanable(std::int64_t width, std::int64_t height, bool monochrome) {
    if (!monochrome) throw CleanupError("The page is not black and white (1 bit per pixel)");
    if (width * height > kMaxCleanedPixels)
        throw CleanupError("The page is too large to clean (" + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels; the limit is " + grouped(kMaxCleanedPixels) +
                           " pixels)");
}

CleanedPage cleanPage(const imaging::Bitmap& page, const CleanupSettings& settings) {
    refuseUncleanable(page.width(), page.height(), page.monochrome());
    CleanedPage out{page, {}};
    CleanupReport& r = out.report;
    r.dpi = settings.dpi > 0 ? settings.dpi : resolutionOf(page);
    if (settings.borders) {
        BordersRemoved b = removeDarkBorders(out.page, {r.dpi});
        out.page = std::move(b.page);
        r.borders = b.report;
        r.bordersRan = true;
    }
    if (settings.despeckle) {
        Despeckled d = despeckle(out.page, {r.dpi});
        out.page = std::move(d.page);
        r.specks = d.report;
        r.despeckleRan = true;
    }
    if (settings.deskew) {
        DeskewSettings s;
        s.dpi = r.dpi;
        Deskewed d = deskew(out.page, s);
        out.page = std::move(d.page);
        r.deskew = d.report;
        r.deskewRan = true;
    }
    out.page.xPixelsPerMetre = page.xPixelsPerMetre;
    out.page.yPixelsPerMetre = page.yPixelsPerMetre;
    return out;
}

std::string cleanInPlace(imaging::Bitmap& page, const CleanupSettings& settings) {
    try {
        CleanedPage cleaned = cleanPage(page, settings);
        page = std::move(cleaned.page);
        return cleaned.report.summary();
    } catch (const std::bad_alloc&) {
        return std::string(kNotCleaned) + "not enough memory";
    } catch (const std::exception& e) {  // CleanupError, or a grown page that cannot be held
        return std::string(kNotCleaned) + e.what();
    }
}

}  // namespace quillet::cleanup
