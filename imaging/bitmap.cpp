// The bitmap's store: construction, resizing, store kind and pixel access.

#include "imaging/bitmap.h"

#include <algorithm>
#include <cassert>
#include <new>

#include "imaging/bit_rows.h"
#include "imaging/bitmap_error.h"
#include "imaging/colour.h"

namespace quillet::imaging {

namespace {

[[noreturn]] void throwTooLarge(int w, int h) {
    throw BitmapTooLarge("Bitmap of " + std::to_string(w) + " x " + std::to_string(h) +
                      " pixels is too large");
}

[[noreturn]] void throwNoMemory(int w, int h) {
    throw BitmapTooLarge("Not enough memory for a bitmap of " + std::to_string(w) + " x " +
                      std::to_string(h) + " pixels");
}

void checkSize(int w, int h, bool mono) {
    if (w < 0 || h < 0) throw BitmapError("Bitmap size cannot be negative");
    if (w > Bitmap::kMaxSide || h > Bitmap::kMaxSide) throwTooLarge(w, h);
    const std::int64_t pixels = std::int64_t(w) * h;
    if (pixels > (mono ? Bitmap::kMaxPixels : Bitmap::kMaxColourPixels)) throwTooLarge(w, h);
}

}  // namespace

Bitmap::Bitmap() = default;

Bitmap::Bitmap(int width, int height) { setSize(width, height); }

Bitmap Bitmap::uninitialised(int width, int height) {
    Bitmap b;
    b.allocateMonochrome(width, height, Fill::Unset);
    return b;
}

void Bitmap::allocateMonochrome(int width, int height, Fill fill) {
    checkSize(width, height, true);
    const int wpr = wordsFor(width);
    try {
        const std::size_t n = std::size_t(wpr) * std::size_t(height);
        Words words = fill == Fill::White ? Words(n, 0) : Words(n);
        words_ = std::move(words);
    } catch (const std::bad_alloc&) {
        throwNoMemory(width, height);
    } catch (const std::length_error&) {
        throwNoMemory(width, height);
    }
    colour_ = {};
    wordsPerRow_ = wpr;
    width_ = width;
    height_ = height;
    monochrome_ = true;
}

void Bitmap::reuseUninitialised(int width, int height) {
    checkSize(width, height, true);
    const int wpr = wordsFor(width);
    const std::size_t n = std::size_t(wpr) * std::size_t(height);
    if (!monochrome_ || n > words_.capacity()) {
        words_ = {};  // nothing to keep: no copy when the store grows
        allocateMonochrome(width, height, Fill::Unset);
        return;
    }
    words_.resize(n);  // inside the capacity: nothing is moved or set
    wordsPerRow_ = wpr;
    width_ = width;
    height_ = height;
}

void Bitmap::keepTopRows(int height) {
    assert(monochrome_ && height >= 0 && height <= height_);
    words_.resize(std::size_t(wordsPerRow_) * std::size_t(height));  // shrinking never moves the store
    height_ = height;
}

void Bitmap::clear() {
    if (monochrome_) std::fill(words_.begin(), words_.end(), 0);
    else std::fill(colour_.begin(), colour_.end(), packRgb(kWhite));
}

Bitmap::~Bitmap() = default;
Bitmap::Bitmap(const Bitmap&) = default;
Bitmap& Bitmap::operator=(const Bitmap&) = default;
Bitmap::Bitmap(Bitmap&&) noexcept = default;
Bitmap& Bitmap::operator=(Bitmap&&) noexcept = default;

void Bitmap::setSize(int width, int height) {
    if (width == width_ && height == height_) return;
    checkSize(width, height, monochrome_);
    const int copyRows = std::min(height, height_);
    const int copyCols = std::min(width, width_);
    try {
        if (monochrome_) {
            const int wpr = wordsFor(width);
            Words words(std::size_t(wpr) * std::size_t(height), 0);
            if (copyCols > 0) {
                const int cw = wordsFor(copyCols);
                const std::uint64_t lastMask = leadingMask(copyCols - ((cw - 1) << 6));
                for (int y = 0; y < copyRows; ++y) {
                    const std::uint64_t* src = row(y);
                    std::uint64_t* dst = words.data() + std::size_t(y) * wpr;
                    std::copy(src, src + cw, dst);
                    dst[cw - 1] &= lastMask;
                }
            }
            words_ = std::move(words);
            wordsPerRow_ = wpr;
        } else {
            std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height),
                                              packRgb(kWhite));
            for (int y = 0; y < copyRows; ++y) {
                const std::uint32_t* src = colour_.data() + std::size_t(y) * width_;
                std::copy(src, src + copyCols, pixels.data() + std::size_t(y) * width);
            }
            colour_ = std::move(pixels);
            wordsPerRow_ = 0;
        }
    } catch (const std::bad_alloc&) {
        throwNoMemory(width, height);
    } catch (const std::length_error&) {
        throwNoMemory(width, height);
    }
    width_ = width;
    height_ = height;
}

void Bitmap::setMonochrome(bool mono) {
    if (mono == monochrome_) return;
    checkSize(width_, height_, mono);
    try {
        if (mono) {
            const int wpr = wordsFor(width_);
            Words words(std::size_t(wpr) * std::size_t(height_), 0);
            for (int y = 0; y < height_; ++y) {
                const std::uint32_t* src = colourRow(y);
                std::uint64_t* dst = words.data() + std::size_t(y) * wpr;
                for (int x = 0; x < width_; ++x)
                    if (isDark(unpackRgb(src[x]))) dst[x >> 6] |= std::uint64_t(1) << (63 - (x & 63));
            }
            words_ = std::move(words);
            colour_ = {};
            wordsPerRow_ = wpr;
        } else {
            std::vector<std::uint32_t> pixels(std::size_t(width_) * std::size_t(height_));
            const std::uint32_t black = packRgb(kBlack), white = packRgb(kWhite);
            for (int y = 0; y < height_; ++y) {
                std::uint32_t* dst = pixels.data() + std::size_t(y) * width_;
                for (int x = 0; x < width_; ++x) dst[x] = isBlack(x, y) ? black : white;
            }
            colour_ = std::move(pixels);
            words_ = {};
            wordsPerRow_ = 0;
        }
    } catch (const std::bad_alloc&) {
        throwNoMemory(width_, height_);
    }
    monochrome_ = mono;
}

void Bitmap::setBlack(int x, int y, bool black) {
    const std::uint64_t bit = std::uint64_t(1) << (63 - (x & 63));
    std::uint64_t& w = row(y)[x >> 6];
    w = black ? (w | bit) : (w & ~bit);
}

const std::uint32_t* Bitmap::colourRow(int y) const {
    return colour_.data() + std::size_t(y) * width_;
}

std::uint32_t* Bitmap::colourRow(int y) { return colour_.data() + std::size_t(y) * width_; }

Rgb Bitmap::pixel(int x, int y) const {
    if (monochrome_) return isBlack(x, y) ? kBlack : kWhite;
    return unpackRgb(colourRow(y)[x]);
}

}  // namespace quillet::imaging
