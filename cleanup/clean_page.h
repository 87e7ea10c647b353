#pragma once
// A scanned 1-bit page cleaned before the lock: dark borders removed, specks
// removed, then the skew straightened (in that order: a border would sway the
// skew's measure and a turned speck would grow). Each step can be switched
// off; the report says what each one found and did.
//
//   cleanup::CleanupSettings s;          // every step on, the page's own dpi
//   s.despeckle = false;
//   const cleanup::CleanedPage c = cleanup::cleanPage(page, s);
//   save(c.page);  log(c.report.summary());

#include <cstdint>
#include <string>
#include <string_view>

#include "cleanup/dark_borders.h"
#include "cleanup/deskew.h"
#include "cleanup/despeckle.h"
#include "imaging/bitmap.h"

namespace quillet::cleanup {

struct CleanupSettings {
    bool deskew = true;
    bool borders = true;
    bool despeckle = true;
    // The page's resolution in dots per inch; 0 takes the page's own (its
    // BMP header), or 300 when it has none.
    int dpi = 0;
};

struct CleanupReport {
    bool deskewRan = false, bordersRan = false, despeckleRan = false;
    int dpi = 0;  // the resolution the sizes were taken at
    DeskewReport deskew;
    BorderReport borders;
    DespeckleReport specks;
    // One line: "skew +1.02 degrees, straightened; 1 dark region removed
    // (137,700 pixels); 300 specks removed". Steps that did not run are left
    // out.
    std::string summary() const;
};

struct CleanedPage {
    imaging::Bitmap page;  // with the resolution of the page cleaned
    CleanupReport report;
};

// The largest page cleaned, in pixels (a 32 MiB store; A2 at 600 dpi fits):
// the steps hold several copies of it at once.
inline constexpr std::int64_t kMaxCleanedPixels = std::int64_t(1) << 28;

// Throws the CleanupError that cleanPage throws for a page of this size and
// kind, if any: for a file, before its pixels are read.
void refuseUncleanable(std::int64_t width, std::int64_t height, bool monochrome);

// The resolution of a page from its pixels per metre: 300 when it has none
// or an implausible one (under 50 or over 4800 dpi).
int resolutionOf(const imaging::Bitmap& page);

// Throws CleanupError for a page that is not black and white or larger than
// kMaxCleanedPixels, and when memory runs out part-way; the page given is
// never changed.
CleanedPage cleanPage(const imaging::Bitmap& page, const CleanupSettings& settings);

// A page cleaned where it stands, as it arrives (a scan, an imported page):
// the report's summary, or kNotCleaned and why, the page then left as it
// was.
inline constexpr std::string_view kNotCleaned = "not cleaned: ";
std::string cleanInPlace(imaging::Bitmap& page, const CleanupSettings& settings);

}  // namespace quillet::cleanup
