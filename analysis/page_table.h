#pragma once
// The page table: per selected page its crop box, and the statistics that the
// lock gathers for the layout and the composition.

#include <array>
#include <cstdint>

namespace quillet::analysis {

struct PagePoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

struct PageTable {
    static constexpr int kMaxPages = 300;

    // Slots 1 .. N (index 0 unused): the crop box of page k, inclusive, in the
    // coordinates of the bitmap file.
    std::array<PagePoint, kMaxPages + 1> CropTopLeft{};
    std::array<PagePoint, kMaxPages + 1> CropBottomRight{};

    std::int32_t LargestWidth = 0;   // largest cropped width
    std::int32_t LongestHeight = 0;  // largest cropped height
    std::int32_t TotalLines = 0;     // sum of cropped heights
    std::int32_t TotalWidth = 0;     // sum of cropped widths

    // Pixel rows that compression at High, Medium, Low would remove.
    std::int32_t RemovedHigh = 0;
    std::int32_t RemovedMedium = 0;
    std::int32_t RemovedLow = 0;

    // Per compression level (None, High, Medium, Low) the fraction of
    // TotalLines that remains; entry 0 is always 1.0.
    std::array<double, 4> CompressionFactor{1.0, 1.0, 1.0, 1.0};

    int croppedWidth(int k) const { return CropBottomRight[k].X - CropTopLeft[k].X + 1; }
    int croppedHeight(int k) const { return CropBottomRight[k].Y - CropTopLeft[k].Y + 1; }
};

}  // namespace quillet::analysis
