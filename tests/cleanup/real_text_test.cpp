// Real text, drawn with a real font at 150, 300 and 600 dpi: the dots of i
// and j, full stops, commas and accents are not dust. A clean page comes out
// as it went in; dust sprinkled on it goes, and nothing else.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cmath>
#include <memory>

#include "cleanup/clean_page.h"
#include "support/bitmap_text.h"
#include "support/scanned_pages.h"

namespace quillet::cleanup {
namespace {

using imaging::Bitmap;

class RealText : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() {
        if (QGuiApplication::instance() == nullptr) app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    static void TearDownTestSuite() { app_.reset(); }
    static inline int argc_ = 1;
    static inline char name_[] = "cleanup_tests";
    static inline char* argv_[] = {name_, nullptr};
    static inline std::unique_ptr<QGuiApplication> app_;
};

// A 4 x 3 inch page of small serif text, full of dots, commas and accents.
Bitmap punctuatedPage(int dpi) {
    Bitmap page(4 * dpi, 3 * dpi);
    page.xPixelsPerMetre = page.yPixelsPerMetre = int(std::lround(dpi / 0.0254));
    const char* lines[] = {
        "Quiet jiggling, i; j: fiji. Caf\u00e9, na\u00efve, \u00fcber, gar\u00e7on, d\u00e9j\u00e0 vu!",
        "\u00bfQu\u00e9 pas\u00f3? \u00c0 l'\u00e9t\u00e9, \u00eele, \u00f6l, \u00e5r... (i.e. e.g., ibid.)",
        "jinx; ii, jj, i.i.j.j. -- \"quotes\", 'ticks', 1.5 x 2.25 = 3.375; 10:45; a/b",
    };
    int y = dpi / 4;
    for (int points : {10, 8}) {
        imaging::Font font;
        font.name = "Times New Roman";
        font.bold = false;
        font.pointSize = int(std::lround(points * dpi / 96.0));  // points at the page's resolution
        for (const char* line : lines) {
            page.drawText(dpi / 4, y, line, font);
            y += imaging::measureText(line, font).height * 3 / 2;
        }
    }
    return page;
}

TEST_P(RealText, PunctuationAndAccentsStayDustGoes) {
    const int dpi = GetParam();
    const Bitmap text = punctuatedPage(dpi);
    const CleanedPage clean = cleanPage(text, {});
    EXPECT_EQ(clean.report.specks.specks, 0);
    EXPECT_EQ(clean.report.borders.regions, 0);
    EXPECT_TRUE(test::bitmapsEqual(clean.page, text));

    Bitmap dusty = text;
    const int side = std::max(1, int(std::floor(0.25 * dpi / 25.4)));  // the largest speck
    const int placed = test::sprinkleSpecks(dusty, 60, side, unsigned(dpi));
    const CleanedPage cleaned = cleanPage(dusty, {});
    EXPECT_EQ(cleaned.report.specks.specks, placed);
    EXPECT_TRUE(test::bitmapsEqual(cleaned.page, text));
}

INSTANTIATE_TEST_SUITE_P(Cleanup, RealText, ::testing::Values(150, 300, 600),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

}  // namespace
}  // namespace quillet::cleanup
