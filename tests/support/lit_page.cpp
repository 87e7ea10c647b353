#include "support/lit_page.h"

#include <algorithm>

namespace quillet::test {

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

long LitPage::wrongPixels(const imaging::Bitmap& page) const {
    long wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) wrong += page.isBlack(x, y) != isStroke(x, y);
    return wrong;
}

}  // namespace quillet::test
