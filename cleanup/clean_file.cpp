#include "cleanup/clean_file.h"

#include <filesystem>
#include <new>
#include <system_error>

#include "cleanup/cleanup_error.h"
#include "imaging/bmp_file.h"

namespace quillet::cleanup {

namespace {

std::filesystem::path real(const std::string& p) {
    std::error_code ec;
    const std::filesystem::path r = std::filesystem::weakly_canonical(std::filesystem::absolute(p, ec), ec);
    return ec ? std::filesystem::path(p).lexically_normal() : r;
}

}  // namespace

bool sameFolder(const std::string& a, const std::string& b) { return real(a) == real(b); }

std::int64_t pagePixels(const std::string& path) {
    try {
        const imaging::BmpHeader h = imaging::readBmpHeader(path);
        return h.width * h.height;
    } catch (const imaging::BitmapError&) {
        return 0;
    }
}

CleanupReport cleanFile(const std::string& source, const std::string& target, const CleanupSettings& settings) {
    try {
        // The header first: a page too large or not black and white is
        // refused before its pixels are read.
        const imaging::BmpHeader h = imaging::readBmpHeader(source);
        refuseUncleanable(h.width, h.height, h.monochrome());
        const CleanedPage cleaned = cleanPage(imaging::loadBmp(source), settings);
        try {
            imaging::saveBmp(cleaned.page, target);
        } catch (const imaging::BitmapError& e) {
            throw CleanupError(std::string("Cannot write ") + target + " (" + e.what() + ")");
        }
        return cleaned.report;
    } catch (const CleanupError& e) {
        throw CleanupError(source + ": " + e.what());
    } catch (const imaging::BitmapError& e) {
        throw CleanupError(source + ": " + e.what());
    } catch (const std::bad_alloc&) {
        throw CleanupError(source + ": Not enough memory to clean the page");
    }
}

}  // namespace quillet::cleanup
