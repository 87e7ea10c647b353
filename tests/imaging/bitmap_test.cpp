// The bitmap store: sizes, store kinds, pixel access, drawing, row helpers.

#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "imaging/bit_rows.h"
#include "imaging/bitmap.h"
#include "imaging/bitmap_error.h"
#include "support/bitmap_text.h"

namespace quillet::imaging {
namespace {

using test::bitmapFromRows;
using test::bitmapRows;
using test::bitmapsEqual;

struct ResizeCase {
    const char* name;
    int w, h;
};

class Resize : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(Resize, KeepsContentTopLeftClipsItAndWhitensNewArea) {
    const auto [name, w, h] = GetParam();
    // An all-black 70 x 5 bitmap: the result must be black exactly on the
    // overlap and white elsewhere, with clean padding bits.
    Bitmap b(70, 5);
    b.fillRect({0, 0, 70, 5}, kBlack);
    b.setSize(w, h);
    ASSERT_EQ(b.width(), w);
    ASSERT_EQ(b.height(), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(b.isBlack(x, y), x < 70 && y < 5) << name << " x " << x << " y " << y;
    EXPECT_EQ(countInk(b), std::int64_t(std::min(w, 70)) * std::min(h, 5)) << "padding bits must stay clear";
}

INSTANTIATE_TEST_SUITE_P(Sizes, Resize,
                         ::testing::Values(ResizeCase{"Wider", 200, 5}, ResizeCase{"Taller", 70, 9},
                                           ResizeCase{"Narrower", 65, 5}, ResizeCase{"NarrowerInWord", 3, 2},
                                           ResizeCase{"ToWordEdge", 64, 8}, ResizeCase{"ToNothing", 0, 0},
                                           ResizeCase{"ZeroHeight", 30, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Bitmap, ResizingAColourBitmapKeepsColoursAndWhitensNewArea) {
    Bitmap b(2, 1);
    b.setMonochrome(false);
    b.fillRect({0, 0, 2, 1}, Rgb{1, 2, 3});
    b.setSize(3, 2);
    EXPECT_EQ(b.pixel(1, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(b.pixel(2, 0), kWhite);
    EXPECT_EQ(b.pixel(0, 1), kWhite);
}

TEST(Bitmap, SizesOverTheLimitFailWithoutChangingTheBitmap) {
    Bitmap b(10, 10);
    b.setBlack(3, 3, true);
    EXPECT_THROW(b.setSize(65536, 32769), BitmapError);  // just over 2^31 pixels
    EXPECT_THROW(b.setSize(-1, 5), BitmapError);
    EXPECT_EQ(b.width(), 10);
    EXPECT_TRUE(b.isBlack(3, 3));
    EXPECT_THROW(Bitmap(1 << 20, 1 << 12), BitmapError);
    Bitmap c(20000, 20000);  // fine as one bit per pixel, too much in colour
    EXPECT_THROW(c.setMonochrome(false), BitmapError);
    EXPECT_TRUE(c.monochrome());
}

TEST(Bitmap, StoreKindConversionKeepsBlackAndWhite) {
    const Bitmap mono = bitmapFromRows({"1001", "0110"});
    Bitmap b = mono;
    b.setMonochrome(false);
    EXPECT_FALSE(b.monochrome());
    EXPECT_EQ(b.pixel(0, 0), kBlack);
    EXPECT_EQ(b.pixel(1, 0), kWhite);
    b.fillRect({1, 0, 2, 1}, Rgb{40, 40, 200});   // dark: becomes black
    b.fillRect({0, 0, 1, 1}, Rgb{250, 250, 120});  // light: becomes white
    b.setMonochrome(true);
    EXPECT_TRUE(bitmapsEqual(b, bitmapFromRows({"0101", "0110"})));
}

TEST(Bitmap, DrawingIsClippedAndInclusive) {
    Bitmap b(8, 6);
    b.fillRect({-3, -3, 2, 2}, kBlack);      // top-left corner, clipped
    b.frameRect({3, 1, 7, 5}, kBlack);        // right/bottom exclusive outline
    b.drawLine({0, 5}, {4, 3}, kBlack);       // both end points drawn (Bresenham)
    b.drawLine({7, 0}, {7, 100}, kBlack);     // vertical, clipped
    b.fillRect({5, 2, 6, 4}, Rgb{10, 10, 10}); // inside the frame, dark colour
    EXPECT_TRUE(bitmapsEqual(b, bitmapFromRows({"11000001",
                                                "11011111",
                                                "00010111",
                                                "00011111",
                                                "01111111",
                                                "10000001"})))
        << ::testing::PrintToString(bitmapRows(b));
    b.fillRect({0, 0, 8, 6}, kWhite);
    EXPECT_EQ(countInk(b), 0);
}

TEST(Bitmap, LongFillsCrossWordBoundaries) {
    for (int x0 : {0, 1, 63, 64, 65})
        for (int x1 : {x0 + 1, 64, 127, 128, 129, 200}) {
            if (x1 <= x0) continue;
            Bitmap b(200, 1);
            b.fillRect({x0, 0, x1, 1}, kBlack);
            EXPECT_EQ(firstInk(b.row(0), 0, 200), x0);
            EXPECT_EQ(lastInk(b.row(0), 0, 200), x1 - 1);
            EXPECT_EQ(countInk(b.row(0), 0, 200), x1 - x0);
        }
}

TEST(BitRows, SearchesAndComparesWithinRanges) {
    const Bitmap b = bitmapFromRows({std::string(70, '0') + "1" + std::string(59, '0') + "1",
                                     std::string(70, '0') + "1" + std::string(59, '0') + "0"});
    const std::uint64_t* r = b.row(0);
    EXPECT_TRUE(anyInk(r, 0, 131));
    EXPECT_FALSE(anyInk(r, 0, 70));
    EXPECT_FALSE(anyInk(r, 71, 130));
    EXPECT_EQ(firstInk(r, 71, 131), 130);
    EXPECT_EQ(firstInk(r, 71, 130), -1);
    EXPECT_EQ(lastInk(r, 0, 130), 70);
    EXPECT_EQ(lastInk(r, 0, 70), -1);
    EXPECT_TRUE(rangesEqual(b.row(0), b.row(1), 0, 130));
    EXPECT_FALSE(rangesEqual(b.row(0), b.row(1), 0, 131));
    std::vector<std::uint64_t> proj(b.wordsPerRow());
    orRows(b, 0, 2, proj.data());
    EXPECT_EQ(countInk(proj.data(), 0, 131), 2);
}

TEST(BitRows, ExtractAndDepositAreInverseAtAnyOffset) {
    const Bitmap src = bitmapFromRows({"1011001110001111000011111000001111110000000111111100000000111111111"
                                       "0101010101010101010101010101010101010101010101010101010101010101"});
    for (int x = 0; x < 70; x += 3)
        for (int n : {1, 5, 60, 64, 65, 61}) {
            std::vector<std::uint64_t> bits(2);
            extractBits(src.row(0), x, n, bits.data());
            Bitmap dst(200, 1);
            dst.fillRect({0, 0, 200, 1}, kBlack);
            depositBits(dst.row(0), x + 7, bits.data(), n, false);
            for (int i = 0; i < n; ++i) ASSERT_EQ(dst.isBlack(x + 7 + i, 0), src.isBlack(x + i, 0)) << x << " " << n;
            EXPECT_TRUE(dst.isBlack(x + 6, 0));
            EXPECT_TRUE(dst.isBlack(x + 7 + n, 0));
        }
}

// Rows long enough for the wide-register loops, with ink so sparse that
// whole blocks of words are white, against a per-pixel model.
TEST(BitRows, LongSparseRowsMatchAPerPixelModel) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 300; ++trial) {
        const int w = 1 + int(rng() % 1400);
        const int rows = 1 + int(rng() % 20);
        Bitmap b(w, std::max(rows, 3));
        for (int y = 0; y < b.height(); ++y)
            for (int dots = int(rng() % 4); dots-- > 0;) b.setBlack(int(rng() % unsigned(w)), y, true);
        const int x0 = int(rng() % unsigned(w)), x1 = x0 + int(rng() % unsigned(w - x0 + 1));
        bool model = false;
        for (int x = x0; x < x1; ++x) model = model || b.isBlack(x, 1);
        ASSERT_EQ(anyInk(b.row(1), x0, x1), model) << w << " " << x0 << " " << x1;

        std::vector<std::uint64_t> proj(std::size_t(b.wordsPerRow()));
        orRows(b, 0, rows, proj.data());
        for (int x = 0; x < w; ++x) {
            bool column = false;
            for (int y = 0; y < rows; ++y) column = column || b.isBlack(x, y);
            ASSERT_EQ((proj[std::size_t(x >> 6)] >> (63 - (x & 63))) & 1, std::uint64_t(column)) << w << " " << rows;
        }

        // Row 2 put into row 0 at an offset, over a black background.
        const int at = int(rng() % 130), n = w - int(rng() % unsigned(w));
        std::vector<std::uint64_t> bits(std::size_t(wordsFor(n)));
        extractBits(b.row(2), 0, n, bits.data());
        Bitmap dst(at + n + 70, 1);
        dst.fillRect({0, 0, dst.width(), 1}, kBlack);
        depositBits(dst.row(0), at, bits.data(), n, false);
        for (int x = 0; x < dst.width(); ++x)
            ASSERT_EQ(dst.isBlack(x, 0), x < at || x >= at + n || b.isBlack(x - at, 2)) << w << " " << at << " " << x;
    }
}

TEST(Bitmap, QImageConversionKeepsPixels) {
    const Bitmap mono = bitmapFromRows({"1000000001", "0111111110"});
    const QImage img = mono.toQImage();
    EXPECT_EQ(img.format(), QImage::Format_Mono);
    EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(Qt::black));
    EXPECT_EQ(QColor(img.pixel(1, 0)), QColor(Qt::white));
    EXPECT_TRUE(bitmapsEqual(Bitmap::fromQImage(img), mono));

    // A 1-bit image whose table makes index 0 the dark colour.
    QImage lsb(10, 2, QImage::Format_MonoLSB);
    lsb.setColorTable({qRgb(0, 0, 90), qRgb(250, 250, 0)});
    lsb.fill(1);
    lsb.setPixel(4, 1, 0);
    const Bitmap fromLsb = Bitmap::fromQImage(lsb);
    EXPECT_TRUE(fromLsb.monochrome());
    EXPECT_EQ(countInk(fromLsb), 1);
    EXPECT_TRUE(fromLsb.isBlack(4, 1));

    QImage rgb(3, 1, QImage::Format_ARGB32);
    rgb.setPixel(0, 0, qRgb(1, 2, 3));
    const Bitmap c = Bitmap::fromQImage(rgb);
    EXPECT_FALSE(c.monochrome());
    EXPECT_EQ(c.pixel(0, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(QColor(c.toQImage().pixel(0, 0)), QColor(1, 2, 3));
}

}  // namespace
}  // namespace quillet::imaging
