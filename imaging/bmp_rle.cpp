#include "imaging/bmp_rle.h"

#include <algorithm>
#include <array>

#include "imaging/colour.h"

namespace quillet::imaging {

namespace {

// The stream's position in the image: x along the row, y counting rows from
// the bottom as the file stores them.
class RleCanvas {
public:
    RleCanvas(Bitmap& out, const std::array<std::uint32_t, 256>& colours)
        : out_(out), colours_(colours) {}

    bool done() const { return y_ >= out_.height(); }
    void put(int index) {
        if (x_ < out_.width() && !done()) out_.colourRow(out_.height() - 1 - y_)[x_++] = colours_[std::size_t(index)];
    }
    void endOfLine() {
        x_ = 0;
        y_ = std::min(y_ + 1, out_.height());
    }
    // Everything past the row's end or the top row is dropped, so the
    // position stops there.
    void move(int dx, int dy) {
        x_ = std::min(x_ + dx, out_.width());
        y_ = std::min(y_ + dy, out_.height());
    }
    // Pixels left in the row: runs never write past it.
    int room() const { return std::max(0, out_.width() - x_); }

private:
    Bitmap& out_;
    const std::array<std::uint32_t, 256>& colours_;
    int x_ = 0, y_ = 0;
};

}  // namespace

Bitmap decodeRle(const BmpHeader& h, const std::uint8_t* file, std::size_t size) {
    const bool four = h.compression == 2;
    std::array<std::uint32_t, 256> colours;
    colours.fill(packRgb(kBlack));
    for (int i = 0; i < h.tableEntries && i < 256; ++i) {
        const std::uint8_t* e = file + h.tableOffset + std::size_t(i) * std::size_t(h.tableEntrySize);
        colours[std::size_t(i)] = packRgb(Rgb{e[2], e[1], e[0]});
    }

    Bitmap out;
    out.setMonochrome(false);
    out.setSize(int(h.width), int(h.height));
    for (int y = 0; y < out.height(); ++y) std::fill_n(out.colourRow(y), out.width(), colours[0]);

    RleCanvas canvas(out, colours);
    // Count in a byte, clipped to the row: a run past the row end is dropped.
    auto clipped = [&](int n) { return std::min(n, canvas.room()); };
    const std::uint8_t* p = file + h.dataOffset;
    const std::uint8_t* end = file + size;
    while (end - p >= 2 && !canvas.done()) {
        const int count = p[0], value = p[1];
        p += 2;
        if (count > 0) {  // a run of `count` pixels
            const int n = clipped(count);
            for (int i = 0; i < n; ++i) canvas.put(four ? (i % 2 ? value & 15 : value >> 4) : value);
            canvas.move(count - n, 0);
            continue;
        }
        if (value == 0) {
            canvas.endOfLine();
        } else if (value == 1) {
            break;  // end of bitmap
        } else if (value == 2) {
            if (end - p < 2) break;
            canvas.move(p[0], p[1]);
            p += 2;
        } else {  // `value` literal pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? std::size_t(value + 1) / 2 : std::size_t(value);
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            const std::size_t have = std::min<std::size_t>(bytes, std::size_t(end - p));
            const int n = clipped(four ? int(std::min<std::size_t>(std::size_t(value), have * 2)) : int(have));
            for (int i = 0; i < n; ++i) canvas.put(four ? (i % 2 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
            canvas.move(value - n, 0);
            if (std::size_t(end - p) < padded) break;
            p += padded;
        }
    }
    return out;
}

}  // namespace quillet::imaging
