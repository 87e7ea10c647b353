#include "imaging/bmp_header.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "imaging/bitmap.h"
#include "imaging/bitmap_error.h"

namespace quillet::imaging {

namespace {

std::uint32_t u16(const std::uint8_t* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }
std::uint32_t u32(const std::uint8_t* p) { return u16(p) | u16(p + 2) << 16; }
std::int32_t s32(const std::uint8_t* p) { return std::int32_t(u32(p)); }

// Run-length encoded images: any image up to this many pixels is accepted;
// beyond it, at most this many pixels per byte of encoded data (a run of 255
// pixels costs 2 bytes).
constexpr std::uint64_t kRleFreePixels = std::uint64_t(1) << 20;
constexpr std::uint64_t kRlePixelsPerByte = 256;

[[noreturn]] void fail(const std::string& what) { throw BitmapError(what); }

}  // namespace

BmpHeader parseBmpHeader(const std::uint8_t* p, std::size_t available, std::size_t fileSize) {
    if (available > fileSize) available = fileSize;
    if (available < 2 || p[0] != 'B' || p[1] != 'M') fail(kNotValidBitmap);
    if (available < 18) fail("Bitmap file is truncated in its file header");

    BmpHeader h;
    h.infoSize = u32(p + 14);
    if (h.infoSize != 12 && h.infoSize != 40) fail(kNotValidBitmap);
    if (available < 14 + std::size_t(h.infoSize)) fail("Bitmap file is truncated in its info header");

    const std::uint8_t* info = p + 14;
    std::uint32_t coloursUsed = 0;
    if (h.infoSize == 12) {
        h.width = u16(info + 4);
        h.height = u16(info + 6);
        h.planes = int(u16(info + 8));
        h.bitsPerPixel = int(u16(info + 10));
        h.tableEntrySize = 3;
    } else {
        h.width = s32(info + 4);
        h.height = s32(info + 8);
        h.planes = int(u16(info + 12));
        h.bitsPerPixel = int(u16(info + 14));
        h.compression = u32(info + 16);
        coloursUsed = u32(info + 32);
        h.xPixelsPerMetre = std::max(s32(info + 24), std::int32_t(0));
        h.yPixelsPerMetre = std::max(s32(info + 28), std::int32_t(0));
        h.tableEntrySize = 4;
        if (h.height < 0) {
            h.topDown = true;
            h.height = -h.height;  // 64-bit: -INT32_MIN is fine
        }
    }

    if (h.width < 0) fail("Bitmap width " + std::to_string(h.width) + " is negative");
    if (h.width == 0) fail("Bitmap width is 0");
    if (h.height == 0) fail("Bitmap height is 0");
    const int bpp = h.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        fail("Bitmap depth of " + std::to_string(bpp) + " bits per pixel is not supported");

    const std::int64_t pixels = h.width * h.height;
    const bool mono = h.monochrome();
    if (pixels > (mono ? Bitmap::kMaxPixels : Bitmap::kMaxColourPixels) ||
        h.width > Bitmap::kMaxSide || h.height > Bitmap::kMaxSide)
        throw BitmapTooLarge("Bitmap of " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                             " pixels is too large");

    switch (h.compression) {
        case 0: break;
        case 1:
            if (bpp != 8) fail("Bitmap run-length encoding RLE8 needs 8 bits per pixel");
            break;
        case 2:
            if (bpp != 4) fail("Bitmap run-length encoding RLE4 needs 4 bits per pixel");
            break;
        case 3:
            if (bpp != 16 && bpp != 32) fail("Bitmap bit fields need 16 or 32 bits per pixel");
            break;
        default: fail("Bitmap compression " + std::to_string(h.compression) + " is not supported");
    }
    const bool rle = h.compression == 1 || h.compression == 2;
    if (rle && h.topDown) fail("Bitmap run-length encoded data cannot be stored top-down");

    // Colour table: colours-used entries, or the full 2^bpp for up to 8 bits.
    if (bpp <= 8) {
        const std::uint32_t full = 1u << bpp;
        if (coloursUsed > full)
            fail("Bitmap colour table of " + std::to_string(coloursUsed) + " entries is too large for " +
                 std::to_string(bpp) + " bits per pixel");
        h.tableEntries = int(coloursUsed ? coloursUsed : full);
    } else {
        if (bpp < 32 && coloursUsed > (std::uint32_t(1) << bpp))
            fail("Bitmap colour table of " + std::to_string(coloursUsed) + " entries is too large for " +
                 std::to_string(bpp) + " bits per pixel");
        h.tableEntries = 0;  // an optional palette of deep bitmaps is never used
    }
    h.tableOffset = 14 + h.infoSize + (h.compression == 3 && h.infoSize == 40 ? 12 : 0);
    const std::uint64_t tableEnd = h.tableOffset + std::uint64_t(h.tableEntries) * h.tableEntrySize;
    if (tableEnd > fileSize) fail("Bitmap file is truncated in its colour table");

    const std::uint32_t offBits = u32(p + 10);
    h.dataOffset = offBits ? offBits : tableEnd;
    if (h.dataOffset < 14 + h.infoSize)
        fail("Bitmap pixel data offset " + std::to_string(h.dataOffset) + " lies inside the headers");
    if (h.dataOffset >= fileSize)
        fail("Bitmap pixel data offset " + std::to_string(h.dataOffset) + " lies past the end of the file");

    h.stride = std::size_t((h.width * bpp + 31) / 32 * 4);
    if (rle) {
        // Worst case of the encoding: two bytes per pixel plus an end of line
        // per row; more than that is never read.
        const std::uint64_t bound = h.dataOffset + 2 * std::uint64_t(pixels) + 4 * std::uint64_t(h.height) + 16;
        h.dataEnd = std::size_t(bound < fileSize ? bound : fileSize);
        // Escapes may leave most of an image uncovered (colour index 0), so a
        // few bytes can claim a huge one. Allow what runs could fill, with
        // generous room for row ends, and refuse more before allocating it.
        const std::uint64_t stream = h.dataEnd - h.dataOffset;
        if (std::uint64_t(pixels) > std::max(kRleFreePixels, kRlePixelsPerByte * stream))
            fail("Bitmap of " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                 " pixels is too large for its " + std::to_string(stream) +
                 " bytes of run-length encoded data");
    } else {
        const std::uint64_t end = h.dataOffset + std::uint64_t(h.stride) * std::uint64_t(h.height);
        if (end > fileSize)
            fail("Bitmap pixel data is truncated: " + std::to_string(end - h.dataOffset) + " bytes needed, " +
                 std::to_string(fileSize - h.dataOffset) + " present");
        h.dataEnd = std::size_t(end);
    }
    if (h.dataEnd < tableEnd) h.dataEnd = std::size_t(tableEnd);
    return h;
}

}  // namespace quillet::imaging
