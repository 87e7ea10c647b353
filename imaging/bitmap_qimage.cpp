// Conversion between bitmaps and QImage, for display and for Qt's decoders.

#include <QImage>
#include <algorithm>
#include <cstring>

#include "imaging/bit_rows.h"
#include "imaging/bitmap.h"
#include "imaging/bitmap_error.h"
#include "imaging/colour.h"

namespace quillet::imaging {

QImage Bitmap::toQImage() const {
    if (!monochrome_) {
        QImage image(width_, height_, QImage::Format_RGB32);
        for (int y = 0; y < height_; ++y)
            std::memcpy(image.scanLine(y), colourRow(y), std::size_t(width_) * 4);
        return image;
    }
    // Format_Mono rows are MSB-first bytes; index 1 is black like our set bit.
    QImage image(width_, height_, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const std::size_t bytes = std::size_t(image.bytesPerLine());
    for (int y = 0; y < height_ && wordsPerRow_ > 0; ++y) {
        std::uint8_t* dst = image.scanLine(y);
        const std::uint64_t* src = row(y);
        for (int i = 0; i < wordsPerRow_; ++i) {
            const std::uint64_t v = __builtin_bswap64(src[i]);
            const std::size_t at = std::size_t(i) * 8;
            std::memcpy(dst + at, &v, std::min<std::size_t>(8, bytes - at));
        }
    }
    return image;
}

QImage toBlackFirstMono(const Bitmap& b) {
    QImage image(b.width(), b.height(), QImage::Format_Mono);
    if (image.isNull()) return image;
    // Index 0 is black: the packed store's set (black) bits become clear.
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const std::size_t rowBytes = std::size_t(b.width() + 7) / 8;
    for (int y = 0; y < b.height(); ++y) {
        const std::uint64_t* src = b.row(y);
        std::uint8_t* dst = image.scanLine(y);
        for (std::size_t at = 0; at < rowBytes; at += 8) {
            const std::uint64_t v = __builtin_bswap64(~src[at / 8]);
            std::memcpy(dst + at, &v, std::min<std::size_t>(8, rowBytes - at));
        }
    }
    return image;
}

Bitmap Bitmap::fromQImage(const QImage& image) {
    const int w = image.width(), h = image.height();
    Bitmap out;
    if (image.depth() == 1) {
        const QImage mono = image.format() == QImage::Format_Mono ? image : image.convertToFormat(QImage::Format_Mono);
        const QList<QRgb> table = mono.colorTable();
        auto entry = [&](int i, Rgb missing) {
            if (i >= table.size()) return missing;
            return Rgb{std::uint8_t(qRed(table[i])), std::uint8_t(qGreen(table[i])), std::uint8_t(qBlue(table[i]))};
        };
        // The darker entry is black; equal entries make index 0 black.
        const bool inkIsOne = luminance(entry(1, kWhite)) < luminance(entry(0, kBlack));
        const std::uint64_t flip = inkIsOne ? 0 : ~std::uint64_t(0);
        out.setSize(w, h);
        const int wpr = out.wordsPerRow();
        if (wpr == 0) return out;
        const std::size_t bytes = std::size_t(mono.bytesPerLine());
        const std::uint64_t lastMask = leadingMask(w - ((wpr - 1) << 6));
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* src = mono.constScanLine(y);
            std::uint64_t* dst = out.row(y);
            for (int i = 0; i < wpr; ++i) {
                std::uint64_t v = 0;
                const std::size_t at = std::size_t(i) * 8;
                std::memcpy(&v, src + at, std::min<std::size_t>(8, bytes - at));
                dst[i] = __builtin_bswap64(v) ^ flip;
            }
            dst[wpr - 1] &= lastMask;
        }
        return out;
    }
    if (std::int64_t(w) * h > kMaxColourPixels)
        throw BitmapError("Bitmap of " + std::to_string(w) + " x " + std::to_string(h) + " pixels is too large");
    out.setMonochrome(false);
    out.setSize(w, h);
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull() && w > 0 && h > 0) throw BitmapError("Not enough memory to convert the image");
    for (int y = 0; y < h; ++y)
        std::memcpy(out.colourRow(y), rgb.constScanLine(y), std::size_t(w) * 4);
    return out;
}

}  // namespace quillet::imaging
