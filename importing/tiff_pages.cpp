#include "importing/tiff_pages.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unordered_set>

#include "imaging/bit_rows.h"
#include "imaging/word_bytes.h"
#include "importing/import_error.h"
#include "importing/local_threshold.h"

namespace quillet::importing {

namespace {

// Pixels of a grey or colour page decoded at once (four bytes each).
constexpr std::int64_t kBandPixels = std::int64_t(4) << 20;
// The largest single allocation libtiff may make for a hostile file.
constexpr tmsize_t kMaxTiffAllocation = tmsize_t(256) << 20;

int keepMessage(TIFF*, void* pages, const char*, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    static_cast<TiffPages*>(pages)->lastError = text;
    return 1;
}

// libtiff tells of a looping chain of pages as a warning.
int keepLoopWarning(TIFF*, void* pages, const char*, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    if (std::strstr(text, "loop") != nullptr) static_cast<TiffPages*>(pages)->lastError = text;
    return 1;
}

TIFF* openTiff(const std::string& path, TiffPages* pages) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxTiffAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepMessage, pages);
    TIFFOpenOptionsSetWarningHandlerExtR(options, keepLoopWarning, pages);
    TIFF* tiff = TIFFOpenExt(path.c_str(), "r", options);
    TIFFOpenOptionsFree(options);
    return tiff;
}

int pixelsPerMetreOf(TIFF* tiff, ttag_t tag) {
    float resolution = 0;
    std::uint16_t unit = RESUNIT_INCH;
    if (!TIFFGetField(tiff, tag, &resolution) || !(resolution > 0 && resolution < 1e6)) return 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (unit == RESUNIT_CENTIMETER) return int(resolution * 100 + 0.5f);
    return unit == RESUNIT_INCH ? pixelsPerMetre(resolution) : 0;
}

}  // namespace

TiffPages::TiffPages(const std::string& path, const PageSettings& settings)
    : PageSource(path), path_(path), settings_(settings), tiff_(openTiff(path, this), TIFFClose) {
    if (!tiff_) throw ImportError(path, "the TIFF file cannot be read (" + lastError + ")");
    // The walk: each directory once, in the order of the chain.
    std::unordered_set<std::uint64_t> seen;
    const std::string loop = "the chain of pages loops back after page ";
    for (;;) {
        if (!seen.insert(TIFFCurrentDirOffset(tiff_.get())).second) {
            walkFault_ = loop + std::to_string(directories_.size()) + "; the pages after it are ignored";
            break;
        }
        directories_.push_back(TIFFCurrentDirOffset(tiff_.get()));
        if (TIFFLastDirectory(tiff_.get())) break;
        lastError.clear();
        if (!TIFFReadDirectory(tiff_.get())) {
            if (lastError.find("loop") != std::string::npos) {
                walkFault_ = loop + std::to_string(directories_.size()) + "; the pages after it are ignored";
            } else {
                // A directory that cannot be read (a cut file): its page
                // fails when it is asked for, instead of vanishing.
                unreadable_ = int(directories_.size());
                directories_.push_back(0);
            }
            break;
        }
    }
}

TiffPages::~TiffPages() = default;

imaging::Bitmap TiffPages::page(int index) {
    const std::string why = lastError;
    if (index == unreadable_)
        throw ImportError(path_, pageLabel(index) + " cannot be read (" + (why.empty() ? "the file is cut short" : why) + ")");
    lastError.clear();
    if (!TIFFSetSubDirectory(tiff_.get(), directories_.at(std::size_t(index))))
        throw ImportError(path_, pageLabel(index) + " cannot be read (" + lastError + ")");
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(tiff_.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff_.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff_.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff_.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tiff_.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    if (width == 0 || height == 0) throw ImportError(path_, pageLabel(index) + " has no pixels");
    if (width >= std::uint32_t(imaging::Bitmap::kMaxSide) || height >= std::uint32_t(imaging::Bitmap::kMaxSide) ||
        std::int64_t(width) * height > imaging::Bitmap::kMaxPixels)
        throw ImportError(path_, pageLabel(index) + " is too large: " + std::to_string(width) + " x " +
                                     std::to_string(height) + " pixels (at most " +
                                     std::to_string(imaging::Bitmap::kMaxPixels / 1000000) + " million pixels)");
    const bool bilevel = bits == 1 && samples == 1 && !TIFFIsTiled(tiff_.get()) &&
                         (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK);
    imaging::Bitmap bitmap = bilevel ? oneBitPage(index, int(width), int(height), photometric == PHOTOMETRIC_MINISBLACK)
                                     : colourPage(index, int(width), int(height));
    bitmap.xPixelsPerMetre = pixelsPerMetreOf(tiff_.get(), TIFFTAG_XRESOLUTION);
    bitmap.yPixelsPerMetre = pixelsPerMetreOf(tiff_.get(), TIFFTAG_YRESOLUTION);
    return bitmap;
}

imaging::Bitmap TiffPages::oneBitPage(int index, int width, int height, bool blackIsZero) {
    imaging::Bitmap page = imaging::Bitmap::uninitialised(width, height);
    const int words = page.wordsPerRow();
    const std::uint64_t flip = blackIsZero ? ~std::uint64_t(0) : 0;
    const std::uint64_t tail = imaging::leadingMask(width - 64 * (words - 1));
    const tmsize_t lineBytes = TIFFScanlineSize(tiff_.get());
    std::vector<std::uint8_t> line(std::max<std::size_t>(std::size_t(words) * 8, std::size_t(std::max<tmsize_t>(lineBytes, 0))));
    for (int y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff_.get(), line.data(), std::uint32_t(y), 0) < 0)
            throw ImportError(path_, pageLabel(index) + " cannot be read (" + lastError + ")");
        imaging::wordsFromBigEndian(line.data(), std::size_t(words), flip, page.row(y));
        page.row(y)[words - 1] &= tail;
    }
    return page;
}

imaging::Bitmap TiffPages::colourPage(int index, int width, int height) {
    char why[1024] = "";
    TIFFRGBAImage image{};
    if (!TIFFRGBAImageOK(tiff_.get(), why) || !TIFFRGBAImageBegin(&image, tiff_.get(), 0, why))
        throw ImportError(path_, pageLabel(index) + " cannot be read (" + why + ")");
    image.req_orientation = ORIENTATION_TOPLEFT;
    const int bandRows = int(std::clamp<std::int64_t>(kBandPixels / width, 1, height));
    std::vector<std::uint32_t> rgba;
    std::vector<std::uint8_t> grey;
    // Rows y .. y + rows - 1 as grey on white paper.
    auto rowsOf = [&](int y, int rows) {
        rgba.resize(std::size_t(width) * std::size_t(rows));
        grey.resize(rgba.size());
        image.row_offset = y;
        if (!TIFFRGBAImageGet(&image, rgba.data(), std::uint32_t(width), std::uint32_t(rows)))
            throw ImportError(path_, pageLabel(index) + " cannot be read (" + lastError + ")");
        for (std::size_t i = 0; i < rgba.size(); ++i) {
            const std::uint32_t p = rgba[i];
            const unsigned level = (TIFFGetR(p) * 11 + TIFFGetG(p) * 16 + TIFFGetB(p) * 5) / 32;
            grey[i] = std::uint8_t(level + 255 - TIFFGetA(p));  // colours come premultiplied
        }
        return GreyImage{grey.data(), width, rows, width};
    };
    // Ends the reading however the page ends.
    const std::unique_ptr<TIFFRGBAImage, void (*)(TIFFRGBAImage*)> reading(&image, TIFFRGBAImageEnd);
    if (settings_.threshold.local)
        return localThreshold(width, height, pixelsPerMetreOf(tiff_.get(), TIFFTAG_XRESOLUTION) * 0.0254, bandRows,
                              rowsOf);
    auto eachBand = [&](auto use) {
        for (int y = 0; y < height; y += bandRows) use(rowsOf(y, std::min(bandRows, height - y)), y);
    };
    int level = std::clamp(settings_.threshold.level, 0, 255);
    if (settings_.threshold.automatic) {
        Histogram total{};
        eachBand([&](const GreyImage& band, int) {
            const Histogram h = histogramOf(band);
            for (int v = 0; v < 256; ++v) total[v] += h[v];
        });
        level = otsuLevel(total);
    }
    imaging::Bitmap page(width, height);
    eachBand([&](const GreyImage& band, int y) { binarizeRows(band, level, page, y); });
    return page;
}

}  // namespace quillet::importing
