#pragma once
// Hand-built BMP files for the reader's tests, and a scratch folder.

#include <cstdint>
#include <string>
#include <vector>

#include "base/temp_dir.h"
#include "imaging/bitmap.h"

namespace quillet::imaging::testfiles {

// The fields of a BMP file; bytes() lays them out. Defaults give a valid
// 1-bit, 40-byte-header file once pixel rows are set.
struct BmpSpec {
    std::uint32_t infoSize = 40;  // 12 writes the core header
    std::int32_t width = 0;
    std::int32_t height = 0;      // negative: top-down (40-byte header only)
    std::uint16_t planes = 1;
    std::uint16_t bitsPerPixel = 1;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::vector<Rgb> table = standardTable();  // black, white
    std::vector<std::uint8_t> pixels;  // exactly as stored after the table
    long long offset = -1;             // -1: right after the table

    std::vector<std::uint8_t> bytes() const;
    static std::vector<Rgb> standardTable();
};

// 1-bit pixel data from rows of '0'/'1' giving the stored bit (the colour
// table index), top row first; stored bottom-up unless topDown. Row padding
// bytes are filled with `pad`.
std::vector<std::uint8_t> oneBitRows(const std::vector<std::string>& rows, bool topDown = false,
                                     std::uint8_t pad = 0);

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readFile(const std::string& path);

// A fresh folder under the temporary directory, removed with everything in it
// when the object goes.
struct ScratchDir : base::TempDir {
    ScratchDir() : base::TempDir("quillet-imaging") {}
};

// True when ImageMagick's convert can be run.
bool haveConvert();

}  // namespace quillet::imaging::testfiles
