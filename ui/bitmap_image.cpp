#include "ui/bitmap_image.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quillet::ui {

namespace {

// The 8 bytes of a packed word in screen order: most significant byte first.
inline std::uint64_t toBigEndian(std::uint64_t w) {
    if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(w);
    return w;
}

QImage monoImage(const imaging::Bitmap& b) {
    QImage img(b.width(), b.height(), QImage::Format_Mono);
    if (img.isNull()) return img;
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const int words = b.wordsPerRow();
    const std::size_t rowBytes = std::size_t(b.width() + 7) / 8;
    for (int y = 0; y < b.height(); ++y) {
        const std::uint64_t* src = b.row(y);
        uchar* dst = img.scanLine(y);
        std::size_t done = 0;
        for (int i = 0; i < words && done < rowBytes; ++i) {
            const std::uint64_t be = toBigEndian(src[i]);
            const std::size_t n = std::min<std::size_t>(8, rowBytes - done);
            std::memcpy(dst + done, &be, n);
            done += n;
        }
    }
    return img;
}

QImage colourImage(const imaging::Bitmap& b) {
    QImage img(b.width(), b.height(), QImage::Format_RGB32);
    if (img.isNull()) return img;
    for (int y = 0; y < b.height(); ++y)
        std::memcpy(img.scanLine(y), b.colourRow(y), std::size_t(b.width()) * 4);
    return img;
}

}  // namespace

QImage toDisplayImage(const imaging::Bitmap& bitmap) {
    if (bitmap.isEmpty()) return {};
    return bitmap.monochrome() ? monoImage(bitmap) : colourImage(bitmap);
}

QImage toDisplayImage(const imaging::Bitmap& bitmap, int width, int height) {
    if (width <= 0 || height <= 0 || bitmap.isEmpty()) return {};
    if (width == bitmap.width() && height == bitmap.height()) return toDisplayImage(bitmap);
    if (bitmap.monochrome()) {
        imaging::Bitmap small(width, height);
        small.copyRect({0, 0, width, height}, bitmap, {0, 0, bitmap.width(), bitmap.height()});
        return monoImage(small);
    }
    return colourImage(bitmap).scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace quillet::ui
