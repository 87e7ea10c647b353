// The local threshold on imported grey pages: band by band it gives the
// page thresholded whole, and grey TIFF and PNG pages lit unevenly come out
// with their strokes where one global level fails.

#include <gtest/gtest.h>

#include <cstring>

#include "cleanup/sauvola.h"
#include "importing/local_threshold.h"
#include "importing/page_source.h"
#include "support/bitmap_text.h"
#include "support/lit_page.h"
#include "support/temp_dir.h"

// Qt last: its "emit" macro must not meet the models' emit().
#include <QImage>
#include <QImageWriter>

#include "support/page_files.h"

namespace quillet::importing {
namespace {

TEST(LocalThreshold, BandByBandIsThePageThresholdedWhole) {
    struct Case {
        int width, height, bandRows;
        double dpi;
    } cases[] = {
        {300, 700, 1, 300},    // a row at a time
        {300, 700, 37, 300},   // the last band short: read further back
        {333, 90, 50, 300},    // bands shorter than the window's reach
        {300, 700, 700, 0},    // one band; no resolution: 300
        {200, 1200, 128, 600}, // a wider window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.height) + " rows in bands of " + std::to_string(c.bandRows));
        const test::LitPage p = test::litPage(c.width, c.height, c.width + 3);
        int reads = 0;
        const imaging::Bitmap banded =
            localThreshold(c.width, c.height, c.dpi, c.bandRows, [&](int y, int rows) {
                EXPECT_TRUE(y >= 0 && rows > 0 && y + rows <= c.height);
                ++reads;
                return GreyImage{p.grey.data() + std::size_t(y) * std::size_t(p.stride), c.width, rows, p.stride};
            });
        const imaging::Bitmap whole = cleanup::sauvolaThreshold(
            {p.grey.data(), c.width, c.height, p.stride}, {c.dpi > 0 ? int(c.dpi) : 300});
        EXPECT_BITMAPS_EQUAL(banded, whole);
        EXPECT_EQ(reads, (c.height + c.bandRows - 1) / c.bandRows);
    }
}

TEST(LocalThreshold, GreyPagesLitUnevenlyKeepTheirStrokes) {
    const test::LitPage p = test::litPage(900, 600, 900);
    QImage grey(p.width, p.height, QImage::Format_Grayscale8);
    for (int y = 0; y < p.height; ++y) std::memcpy(grey.scanLine(y), p.grey.data() + y * p.stride, std::size_t(p.width));
    grey.setDotsPerMeterX(11811);
    grey.setDotsPerMeterY(11811);
    base::TempDir dir("quillet-local-threshold-test");
    testing::writeTiff(dir.file("lit.tiff"), {grey}, 300);
    ASSERT_TRUE(QImageWriter(QString::fromStdString(dir.file("lit.png")), "png").write(grey));
    PageSettings local;
    local.threshold.local = true;
    for (const char* name : {"lit.tiff", "lit.png"}) {
        SCOPED_TRACE(name);
        const long pixels = long(p.width) * p.height;
        EXPECT_LT(p.wrongPixels(openPageSource(dir.file(name), local)->page(0)), pixels / 100);
        EXPECT_GT(p.wrongPixels(openPageSource(dir.file(name), PageSettings{})->page(0)), pixels / 20);
    }
}

}  // namespace
}  // namespace quillet::importing
