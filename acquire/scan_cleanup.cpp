#include "acquire/scan_cleanup.h"

#include <cmath>

#include "cleanup/clean_page.h"

namespace quillet::acquire {

std::string cleanScan(NativeImage& image) {
    if (image.mode != ScanMode::LineArt || image.lineArt.isEmpty()) return {};
    cleanup::CleanupSettings settings;
    if (image.xDpi > 0) settings.dpi = int(std::lround(image.xDpi));
    return cleanup::cleanInPlace(image.lineArt, settings);
}

}  // namespace quillet::acquire
