#pragma once
// The checked header of a BMP file: every field the reader relies on,
// validated against the file's size before any pixel store is allocated.

#include <cstddef>
#include <cstdint>

namespace quillet::imaging {

// Bytes that hold every header the reader parses (file header, the larger
// info header and the three bit-field masks that may follow it).
inline constexpr std::size_t kBmpMaxHeaderBytes = 14 + 40 + 12;

struct BmpHeader {
    std::uint32_t infoSize = 0;     // 12 (core) or 40 (Windows info header)
    std::int64_t width = 0;         // > 0
    std::int64_t height = 0;        // > 0 (absolute value)
    bool topDown = false;           // negative height in the file
    int planes = 0;
    int bitsPerPixel = 0;           // 1, 4, 8, 16, 24 or 32
    std::uint32_t compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    int tableEntries = 0;
    int tableEntrySize = 0;         // 3 (core) or 4
    std::size_t tableOffset = 0;
    std::size_t dataOffset = 0;
    std::size_t stride = 0;         // bytes per uncompressed row, padded to 4
    std::size_t dataEnd = 0;        // end of the pixel data (uncompressed) or
                                    // the bound on how much compressed data is read
    std::int32_t xPixelsPerMetre = 0;  // the resolution (Windows info header;
    std::int32_t yPixelsPerMetre = 0;  // 0 when absent or negative)

    bool monochrome() const { return planes == 1 && bitsPerPixel == 1; }
    // How much of a file of fileSize bytes the decoder needs.
    std::size_t bytesNeeded(std::size_t fileSize) const {
        return dataEnd < fileSize ? dataEnd : fileSize;
    }
};

// Parses and checks the headers in the first `available` bytes of a file of
// `fileSize` bytes. Throws BitmapError naming the fault; a wrong signature or
// info header size gives exactly "Bitmap image is not valid".
BmpHeader parseBmpHeader(const std::uint8_t* bytes, std::size_t available, std::size_t fileSize);

}  // namespace quillet::imaging
