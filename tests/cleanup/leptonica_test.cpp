// The door to Leptonica: pages cross into its 1-bit images and back with
// every pixel where it was, at every width around its 32-bit and our 64-bit
// words; checked through its component search against a per-pixel flood
// fill on random pages.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "cleanup/leptonica.h"
#include "support/bitmap_text.h"

namespace quillet::cleanup {
namespace {

using imaging::Bitmap;
using imaging::Rect;

// Per-pixel model: the 8-connected components, each as its pixels and box.
struct ModelComponent {
    std::vector<imaging::Point> pixels;
    Rect box{1 << 30, 1 << 30, -1, -1};
};
std::vector<ModelComponent> components(const Bitmap& b) {
    std::vector<ModelComponent> out;
    std::vector<char> seen(std::size_t(b.width()) * std::size_t(b.height()), 0);
    auto at = [&](int x, int y) -> char& { return seen[std::size_t(y) * std::size_t(b.width()) + std::size_t(x)]; };
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            if (!b.isBlack(x, y) || at(x, y)) continue;
            ModelComponent c;
            std::vector<imaging::Point> stack{{x, y}};
            at(x, y) = 1;
            while (!stack.empty()) {
                const imaging::Point p = stack.back();
                stack.pop_back();
                c.pixels.push_back(p);
                c.box = {std::min(c.box.left, p.x), std::min(c.box.top, p.y), std::max(c.box.right, p.x + 1),
                         std::max(c.box.bottom, p.y + 1)};
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = p.x + dx, ny = p.y + dy;
                        if (nx < 0 || ny < 0 || nx >= b.width() || ny >= b.height()) continue;
                        if (b.isBlack(nx, ny) && !at(nx, ny)) {
                            at(nx, ny) = 1;
                            stack.push_back({nx, ny});
                        }
                    }
            }
            out.push_back(std::move(c));
        }
    return out;
}

bool before(const Rect& a, const Rect& b) {
    return std::tie(a.left, a.top, a.right, a.bottom) < std::tie(b.left, b.top, b.right, b.bottom);
}

TEST(LeptonicaDoor, ComponentsAndRemovalMatchThePerPixelModel) {
    std::mt19937 random(22);
    for (int width : {1, 31, 32, 33, 63, 64, 65, 97, 130}) {
        for (int density : {5, 30, 60}) {
            Bitmap page(width, 23);
            std::uniform_int_distribution<int> percent(0, 99);
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < width; ++x) page.setBlack(x, y, percent(random) < density);
            const std::vector<ModelComponent> model = components(page);

            std::vector<Rect> boxes = leptonica::componentBoxes(page), expected;
            for (const ModelComponent& c : model) expected.push_back(c.box);
            std::sort(boxes.begin(), boxes.end(), before);
            std::sort(expected.begin(), expected.end(), before);
            EXPECT_EQ(boxes, expected) << width << " wide, " << density << "% ink";

            // Drop the components of odd width; the model clears their pixels.
            Bitmap kept = page;
            int dropped = 0;
            for (const ModelComponent& c : model)
                if (c.box.width() % 2 == 1) {
                    for (const imaging::Point& p : c.pixels) kept.setBlack(p.x, p.y, false);
                    ++dropped;
                }
            int picked = 0;
            const Bitmap result = leptonica::withoutComponents(
                page, [](const leptonica::Component& c) { return c.box.width() % 2 == 1; }, picked);
            EXPECT_EQ(picked, dropped);
            EXPECT_TRUE(test::bitmapsEqual(result, kept)) << width << " wide, " << density << "% ink";
        }
    }
}

}  // namespace
}  // namespace quillet::cleanup
