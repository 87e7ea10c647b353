// Pages that are no page of text: blank, all black, one pixel, a dithered
// photograph with a dark sky, a page too large to clean. Each ends with a
// report (or a clear refusal) and none is made worse.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cleanup/clean_page.h"
#include "cleanup/cleanup_error.h"
#include "support/bitmap_text.h"

namespace quillet::cleanup {
namespace {

using imaging::Bitmap;
using Outcome = DeskewReport::Outcome;

// A photograph as a 1-bit scan holds it: grey tones dithered (Floyd and
// Steinberg), here a black sky along the top edge over hills and a bright
// field, with no line of text.
Bitmap photograph(int width, int height) {
    std::vector<double> grey(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double hill = height * (0.35 + 0.08 * std::sin(x / 90.0));
            grey[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
                y < height / 8 ? 0 : y < hill ? 110 + 60 * std::sin(x / 37.0) * std::cos(y / 53.0) : 215;
        }
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double& g = grey[std::size_t(y) * std::size_t(width) + std::size_t(x)];
            const double v = g < 128 ? 0 : 255, e = g - v;
            b.setBlack(x, y, v == 0);
            auto spread = [&](int dx, int dy, double w) {
                if (x + dx >= 0 && x + dx < width && y + dy < height)
                    grey[std::size_t(y + dy) * std::size_t(width) + std::size_t(x + dx)] += e * w;
            };
            spread(1, 0, 7 / 16.0), spread(-1, 1, 3 / 16.0), spread(0, 1, 5 / 16.0), spread(1, 1, 1 / 16.0);
        }
    return b;
}

constexpr const char* kNothing = "no text lines to measure the skew; no dark borders; no specks";

TEST(HardPages, EndWithAReportAndAreNeverMadeWorse) {
    Bitmap black(1700, 2200), dot(1, 1);
    black.fillRect({0, 0, black.width(), black.height()}, imaging::kBlack);
    dot.setBlack(0, 0, true);
    struct Case {
        const char* name;
        Bitmap page;
        const char* says;  // the summary
        Bitmap after;
    } cases[] = {
        {"blank", Bitmap(1700, 2200), kNothing, Bitmap(1700, 2200)},
        {"all black", black, kNothing, black},
        {"one white pixel", Bitmap(1, 1), kNothing, Bitmap(1, 1)},
        // A lone pixel is a speck, even on a page of its own.
        {"one black pixel", dot, "no text lines to measure the skew; no dark borders; 1 speck removed", Bitmap(1, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CleanedPage cleaned = cleanPage(c.page, {});
        EXPECT_EQ(cleaned.report.summary(), c.says);
        EXPECT_TRUE(test::bitmapsEqual(cleaned.page, c.after));
    }
    // The photograph's dark sky lies along the edge but beside more picture:
    // no border, and no angle sure enough to turn it by.
    const Bitmap photo = photograph(1200, 900);
    const CleanedPage cleaned = cleanPage(photo, {});
    EXPECT_NE(cleaned.report.deskew.outcome, Outcome::Straightened);
    EXPECT_EQ(cleaned.report.borders.regions, 0);
    EXPECT_TRUE(test::bitmapsEqual(cleaned.page, photo)) << cleaned.report.summary();
}

TEST(HardPages, TooLargeOrNotBlackAndWhiteIsRefusedByName) {
    try {
        refuseUncleanable(20000, 30000, true);
        ADD_FAILURE() << "a 20000 x 30000 page was taken";
    } catch (const CleanupError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The page is too large to clean (20000 x 30000 pixels; the limit is 268,435,456 pixels)");
    }
    Bitmap colour(8, 8);
    colour.setMonochrome(false);
    EXPECT_THROW(cleanPage(colour, {}), CleanupError);
}

}  // namespace
}  // namespace quillet::cleanup
