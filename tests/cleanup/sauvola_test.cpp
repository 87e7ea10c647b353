// Sauvola's local threshold on grey pages lit unevenly: the strokes come out
// black and the paper white where no single level could split them.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "cleanup/sauvola.h"

namespace quillet::cleanup {
namespace {

// A grey page whose paper darkens from 240 at the right to 90 at the left,
// with strokes at half the paper's brightness: the strokes at the right
// are lighter than the paper at the left. `stride` leaves bytes past the row.
struct LitPage {
    int width, height, stride;
    std::vector<std::uint8_t> grey;
    std::vector<bool> stroke;
};
LitPage litPage(int width, int height, int stride) {
    LitPage p{width, height, stride, std::vector<std::uint8_t>(std::size_t(stride) * std::size_t(height), 7),
              std::vector<bool>(std::size_t(width) * std::size_t(height))};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool s = (y % 30 >= 12 && y % 30 < 16) || (x % 23 < 4 && y % 30 < 16);
            const int paper = 90 + 150 * x / std::max(width - 1, 1);
            p.stroke[std::size_t(y) * std::size_t(width) + std::size_t(x)] = s;
            p.grey[std::size_t(y) * std::size_t(stride) + std::size_t(x)] = std::uint8_t(s ? paper / 2 : paper);
        }
    return p;
}

TEST(Sauvola, StrokesBlackAndPaperWhiteUnderUnevenLight) {
    struct Case {
        int width, height, stride;
        double maxWrong;  // share of pixels on the wrong side
    } cases[] = {
        {601, 300, 604, 0.01},  // a row that is no whole number of Leptonica's words
        {1500, 1100, 1500, 0.01},  // several tiles
        {5, 4, 5, 0.0},         // too small for a window: the plain mid-level
    };
    for (const Case& c : cases) {
        const LitPage p = litPage(c.width, c.height, c.stride);
        const imaging::Bitmap b = sauvolaThreshold({p.grey.data(), c.width, c.height, c.stride}, {});
        ASSERT_EQ(b.width(), c.width);
        ASSERT_EQ(b.height(), c.height);
        long wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                wrong += b.isBlack(x, y) != p.stroke[std::size_t(y) * std::size_t(c.width) + std::size_t(x)];
        EXPECT_LE(double(wrong), c.maxWrong * c.width * c.height) << c.width << " x " << c.height;
    }
}

}  // namespace
}  // namespace quillet::cleanup
