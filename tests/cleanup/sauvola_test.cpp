// Sauvola's local threshold on grey pages lit unevenly: the strokes come out
// black and the paper white where no single level could split them.

#include <gtest/gtest.h>

#include "cleanup/sauvola.h"
#include "support/lit_page.h"

namespace quillet::cleanup {
namespace {

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
        const test::LitPage p = test::litPage(c.width, c.height, c.stride);
        const imaging::Bitmap b = sauvolaThreshold({p.grey.data(), c.width, c.height, c.stride}, {});
        ASSERT_EQ(b.width(), c.width);
        ASSERT_EQ(b.height(), c.height);
        EXPECT_LE(double(p.wrongPixels(b)), c.maxWrong * c.width * c.height) << c.width << " x " << c.height;
    }
}

}  // namespace
}  // namespace quillet::cleanup
