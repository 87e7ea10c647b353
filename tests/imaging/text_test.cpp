// Text drawing and measuring (needs a QGuiApplication; tests run with the
// offscreen platform).

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

#include "imaging/bit_rows.h"
#include "imaging/bitmap.h"

namespace quillet::imaging {
namespace {

class TextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
            app_ = std::make_unique<QGuiApplication>(argc_, argv_);
        }
    }
    static void TearDownTestSuite() { app_.reset(); }

    static std::int64_t inkIn(const Bitmap& b, const Rect& r) {
        std::int64_t n = 0;
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, b.height()); ++y)
            n += countInk(b.row(y), std::max(r.left, 0), std::min(r.right, b.width()));
        return n;
    }

private:
    static inline int argc_ = 1;
    static inline char arg0_[] = "imaging_tests";
    static inline char* argv_[] = {arg0_, nullptr};
    static inline std::unique_ptr<QGuiApplication> app_;
};

TEST_F(TextTest, SizeFollowsPointsAt96Dpi) {
    Font f;
    f.name = "Arial";
    f.bold = false;
    f.pointSize = 12;  // 16 pixels
    const Size s12 = measureText("Hello", f);
    f.pointSize = 24;  // 32 pixels
    const Size s24 = measureText("Hello", f);
    EXPECT_GE(s12.height, 16);
    EXPECT_LE(s12.height, 24);
    EXPECT_NEAR(double(s24.height) / s12.height, 2.0, 0.25);
    EXPECT_NEAR(double(s24.width) / s12.width, 2.0, 0.3);
    EXPECT_EQ(measureText("", f).width, 0);
    EXPECT_GT(measureText("HelloHello", f).width, s24.width * 3 / 2);
}

TEST_F(TextTest, BoldIsWider) {
    Font f;
    f.pointSize = 14;
    f.bold = false;
    const Size plain = measureText("Quillet quire", f);
    f.bold = true;
    const Size bold = measureText("Quillet quire", f);
    EXPECT_GT(bold.width, plain.width);
}

TEST_F(TextTest, DrawsInkInsideItsMeasuredBoxOnAnOpaqueWhiteBackground) {
    for (const char* name : {"Arial", "Times New Roman", "MS Serif"}) {
        SCOPED_TRACE(name);
        Font f;
        f.name = name;
        f.pointSize = 10;
        Bitmap b(300, 60);
        b.fillRect({0, 0, 300, 60}, kBlack);
        const Size s = measureText("Page 12 of 40", f);
        b.drawText(20, 10, "Page 12 of 40", f);
        const Rect box{20, 10, 20 + s.width, 10 + s.height};
        const std::int64_t ink = inkIn(b, box);
        const std::int64_t area = std::int64_t(s.width) * s.height;
        EXPECT_GT(ink, area / 20) << "text has ink";
        EXPECT_LT(ink, area / 2) << "the box behind the text is white";
        // Outside the box nothing changed.
        EXPECT_EQ(inkIn(b, {0, 0, 300, 10}), 300 * 10);
        EXPECT_EQ(inkIn(b, {0, 0, 20, 60}), 20 * 60);
        EXPECT_EQ(inkIn(b, {box.right, 0, 300, 60}), std::int64_t(300 - box.right) * 60);
    }
}

TEST_F(TextTest, TextIsClippedAtTheBitmapEdges) {
    Font f;
    f.pointSize = 20;
    Bitmap b(40, 12);
    b.drawText(-15, -8, "WWWWWWWW", f);
    b.drawText(30, 5, "WWWWWWWW", f);
    EXPECT_GT(countInk(b), 0);
    Bitmap c(40, 12);
    c.setMonochrome(false);
    c.drawText(2, 0, "x", f);
    EXPECT_FALSE(c.monochrome());
    bool black = false;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 40; ++x) black = black || c.pixel(x, y) == kBlack;
    EXPECT_TRUE(black);
}

}  // namespace
}  // namespace quillet::imaging
