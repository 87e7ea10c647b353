#pragma once
// The bitmap type shared by every part of Quillet: a monochrome image on a
// packed 1-bit store, or a colour image for display and printing.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "imaging/geometry.h"

class QImage;

namespace quillet::imaging {

// A 24-bit colour as pixel reads report it.
struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// How a rectangle copy combines source and destination.
enum class CopyMode {
    Copy,  // destination := source
    And,   // destination := source AND destination (black wins)
};

// Font request for text drawing: a typeface name, style flags and a size in
// points; points become pixels at 96 pixels per inch, whatever the display.
struct Font {
    std::string name = "Arial";
    bool bold = true;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int pointSize = 8;
    friend bool operator==(const Font&, const Font&) = default;
};

// An allocator whose value-less construction leaves the words unset, so
// that a store the caller overwrites at once is not cleared first.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// A bitmap: width x height pixels, (0,0) top-left, y downwards.
//
// Monochrome store: each row is wordsPerRow() 64-bit words. Pixel x of a row
// is bit (63 - x % 64) of word x / 64 (most significant bit first, the order
// of a BMP row read as big-endian words). A set bit is BLACK (ink), a clear
// bit is white. Bits past the width in the last word of a row are always 0.
//
// Colour store (monochrome() == false): 32-bit 0xffRRGGBB pixels, used for
// display and printing of files that are not 1-bit.
//
// A bitmap owns its store; copies are deep.
class Bitmap {
public:
    // An empty 0 x 0 monochrome bitmap.
    Bitmap();
    // A white monochrome bitmap of the given size. Preconditions: w, h >= 0.
    Bitmap(int width, int height);
    // A monochrome bitmap whose pixels are left unset, for a store that the
    // caller overwrites in full at once; it must clear the bits past the
    // width in each row's last word. Throws like setSize.
    static Bitmap uninitialised(int width, int height);
    // Makes this a monochrome bitmap of the given size with its pixels left
    // unset, as uninitialised does, keeping the store when it already holds
    // enough words: for a work area refilled again and again.
    void reuseUninitialised(int width, int height);
    // Keeps rows 0 .. height - 1 and drops the rest; the store is not moved
    // or given back, so rows of it never written stay untouched memory.
    // Preconditions: monochrome, 0 <= height <= height().
    void keepTopRows(int height);
    ~Bitmap();
    Bitmap(const Bitmap&);
    Bitmap& operator=(const Bitmap&);
    Bitmap(Bitmap&&) noexcept;
    Bitmap& operator=(Bitmap&&) noexcept;

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ == 0 || height_ == 0; }

    // True for a 1-bit black-and-white bitmap.
    bool monochrome() const { return monochrome_; }
    // Switches the store kind; content is converted (colour -> mono by
    // darkness, mono -> colour as black/white). Throws BitmapError when the
    // new store cannot be allocated.
    void setMonochrome(bool mono);

    // Resizes keeping the content anchored top-left, clipped to the new size;
    // new area is white. Throws BitmapError when the size exceeds the limit
    // (see kMaxPixels) or memory cannot be had. Preconditions: w, h >= 0.
    void setSize(int width, int height);

    // ---- monochrome store access (precondition: monochrome()) ----
    int wordsPerRow() const { return wordsPerRow_; }
    const std::uint64_t* row(int y) const { return words_.data() + std::size_t(y) * wordsPerRow_; }
    std::uint64_t* row(int y) { return words_.data() + std::size_t(y) * wordsPerRow_; }
    // Direct bit test; preconditions: 0 <= x < width, 0 <= y < height.
    bool isBlack(int x, int y) const {
        return (row(y)[x >> 6] >> (63 - (x & 63))) & 1u;
    }
    void setBlack(int x, int y, bool black);

    // ---- colour store access (precondition: !monochrome()) ----
    const std::uint32_t* colourRow(int y) const;
    std::uint32_t* colourRow(int y);

    // Colour of one pixel (black or white for a monochrome bitmap).
    // Preconditions: inside the bitmap.
    Rgb pixel(int x, int y) const;

    // Makes every pixel white.
    void clear();
    // Fills r (clipped to the bitmap) with colour c.
    void fillRect(const Rect& r, Rgb c);
    // Draws the one-pixel outline of r (clipped) in colour c.
    void frameRect(const Rect& r, Rgb c);
    // Draws a one-pixel line from a to b inclusive (clipped) in colour c.
    void drawLine(Point a, Point b, Rgb c);

    // Copies src's rectangle srcRect into this bitmap's rectangle dstRect.
    // Equal sizes copy 1:1; different sizes stretch each axis independently.
    // Monochrome source shrinking is black-wins (a destination pixel is black
    // if any source pixel mapped onto it is black); enlarging repeats pixels;
    // non-monochrome shrinking drops rows/columns. Parts outside either bitmap
    // are clipped. mode And keeps a pixel white only where both are white.
    // Empty rectangles copy nothing.
    void copyRect(const Rect& dstRect, const Bitmap& src, const Rect& srcRect,
                  CopyMode mode = CopyMode::Copy);

    // Copies rows [srcY, srcY + rows) of src into this bitmap at (dstX, dstY)
    // 1:1, for monochrome bitmaps, word-wise. Clipped at all edges.
    void blit(int dstX, int dstY, const Bitmap& src, int srcX, int srcY, int w, int h,
              CopyMode mode = CopyMode::Copy);

    // Writes text with its top-left at (x, y), black on an opaque white
    // background box of the text's size (measureText), clipped to the bitmap.
    // Needs a QGuiApplication (Qt's fonts); throws BitmapError without one.
    void drawText(int x, int y, const std::string& utf8, const Font& font);

    // A QImage copy for display (Format_Mono for monochrome, RGB32 otherwise).
    QImage toQImage() const;
    // Builds a bitmap from a QImage: 1-bit images become monochrome (darker
    // colour-table entry = black), others colour. Throws BitmapError if too big.
    static Bitmap fromQImage(const QImage& image);

    // Resolution written into the BMP header, in pixels per metre (0: not
    // known). Only the BMP writer reads it; pixel operations leave it alone.
    int xPixelsPerMetre = 0;
    int yPixelsPerMetre = 0;

    // Largest pixel count a bitmap may hold (bounds memory use for untrusted
    // files): 2^31 monochrome pixels is 256 MiB of store.
    static constexpr std::int64_t kMaxPixels = std::int64_t(1) << 31;
    static constexpr std::int64_t kMaxColourPixels = std::int64_t(1) << 28;
    // Largest width or height: keeps every row and coordinate computation of
    // the store (words per row, bits per row, x + width) inside an int.
    static constexpr int kMaxSide = 1 << 24;

private:
    int width_ = 0;
    int height_ = 0;
    int wordsPerRow_ = 0;
    bool monochrome_ = true;
    using Words = std::vector<std::uint64_t, UninitialisedAllocator<std::uint64_t>>;
    enum class Fill { White, Unset };
    void allocateMonochrome(int width, int height, Fill fill);

    Words words_;                            // monochrome store
    std::vector<std::uint32_t> colour_;      // colour store
};

// A Format_Mono copy of a monochrome bitmap whose colour table is exactly
// black (index 0), then white: the one form that Qt's PDF engine embeds as
// lossless 1-bit data (with any other table it writes an 8-bit RGB JPEG).
// A null image when it cannot be allocated. Precondition: monochrome.
QImage toBlackFirstMono(const Bitmap& bitmap);

// Width and height in pixels that text would take in the font (advance
// width; ascent plus descent). Needs a QGuiApplication, like drawText.
Size measureText(const std::string& utf8, const Font& font);

}  // namespace quillet::imaging
