#include "ui/bitmap_image.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace quillet::ui {

namespace {

// Eight screen pixels for each byte of a packed row, most significant bit
// first: a set bit is black.
struct ByteExpansion {
    std::uint32_t px[256][8];
    ByteExpansion() {
        for (int b = 0; b < 256; ++b)
            for (int i = 0; i < 8; ++i) px[b][i] = (b >> (7 - i)) & 1 ? 0xff000000u : 0xffffffffu;
    }
};

// The 8 bits of a row starting at pixel x, as a byte (x may be unaligned;
// bits past the row's last word read as white).
inline unsigned byteAt(const std::uint64_t* row, int words, int x) {
    const int w = x >> 6, off = x & 63;
    std::uint64_t v = row[w] << off;
    if (off > 56 && w + 1 < words) v |= row[w + 1] >> (64 - off);
    return unsigned(v >> 56);
}

}  // namespace

namespace {

// The colour page as 8-bit grey, or a null image when a pixel is not grey.
QImage greyImage(const imaging::Bitmap& b) {
    QImage img(b.width(), b.height(), QImage::Format_Grayscale8);
    if (img.isNull()) return img;
    for (int y = 0; y < b.height(); ++y) {
        const std::uint32_t* row = b.colourRow(y);
        uchar* out = img.scanLine(y);
        for (int x = 0; x < b.width(); ++x) {
            const std::uint32_t c = row[x];
            const std::uint32_t blue = c & 0xff;
            if (((c >> 8) & 0xff) != blue || ((c >> 16) & 0xff) != blue) return {};
            out[x] = uchar(blue);
        }
    }
    return img;
}

}  // namespace

QImage toPrintImage(const imaging::Bitmap& b) {
    if (b.isEmpty()) return {};
    if (b.monochrome()) return imaging::toBlackFirstMono(b);
    QImage grey = greyImage(b);
    if (!grey.isNull()) return grey;
    return toScreenImage(b, QRect(0, 0, b.width(), b.height()));
}

imaging::Bitmap reduceForDisplay(const imaging::Bitmap& bitmap, int width, int height) {
    if (width == bitmap.width() && height == bitmap.height()) return bitmap;
    imaging::Bitmap small(width, height);
    if (!bitmap.monochrome()) small.setMonochrome(false);
    if (width > 0 && height > 0 && !bitmap.isEmpty())
        small.copyRect({0, 0, width, height}, bitmap, {0, 0, bitmap.width(), bitmap.height()});
    return small;
}

QImage toScreenImage(const imaging::Bitmap& b, const QRect& wanted) {
    const QRect area = wanted.intersected(QRect(0, 0, b.width(), b.height()));
    if (area.isEmpty()) return {};
    QImage img(area.size(), QImage::Format_RGB32);
    if (img.isNull()) return img;
    if (!b.monochrome()) {
        for (int y = 0; y < area.height(); ++y)
            std::memcpy(img.scanLine(y), b.colourRow(area.top() + y) + area.left(),
                        std::size_t(area.width()) * 4);
        return img;
    }
    static const ByteExpansion table;
    const int words = b.wordsPerRow();
    const int fullBytes = area.width() / 8;
    const int tailBits = area.width() % 8;
    const bool aligned = (area.left() & 7) == 0;
    for (int y = 0; y < area.height(); ++y) {
        const std::uint64_t* src = b.row(area.top() + y);
        auto* dst = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
        int x = area.left();
        if (aligned) {
            // Whole bytes straight from the words.
            for (int i = 0; i < fullBytes; ++i, x += 8) {
                const unsigned byte = unsigned(src[x >> 6] >> (56 - (x & 63))) & 0xffu;
                std::memcpy(dst + 8 * i, table.px[byte], sizeof table.px[byte]);
            }
        } else {
            for (int i = 0; i < fullBytes; ++i, x += 8)
                std::memcpy(dst + 8 * i, table.px[byteAt(src, words, x)], sizeof table.px[0]);
        }
        if (tailBits)
            std::memcpy(dst + 8 * fullBytes, table.px[byteAt(src, words, x)],
                        sizeof(std::uint32_t) * std::size_t(tailBits));
    }
    return img;
}

}  // namespace quillet::ui
