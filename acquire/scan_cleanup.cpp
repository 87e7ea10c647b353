#include "acquire/scan_cleanup.h"

#include <cmath>
#include <new>

#include "cleanup/clean_page.h"
#include "cleanup/cleanup_error.h"

namespace quillet::acquire {

std::string cleanScan(NativeImage& image) {
    if (image.mode != ScanMode::LineArt || image.lineArt.isEmpty()) return {};
    cleanup::CleanupSettings settings;
    if (image.xDpi > 0) settings.dpi = int(std::lround(image.xDpi));
    try {
        cleanup::CleanedPage cleaned = cleanup::cleanPage(image.lineArt, settings);
        image.lineArt = std::move(cleaned.page);
        return cleaned.report.summary();
    } catch (const cleanup::CleanupError& e) {
        return std::string("not cleaned: ") + e.what();
    } catch (const std::bad_alloc&) {
        return "not cleaned: not enough memory";
    } catch (const std::exception& e) {  // a grown page that cannot be held
        return std::string("not cleaned: ") + e.what();
    }
}

}  // namespace quillet::acquire
