// Files written by ImageMagick's convert, in its two BMP variants (BMP2: the
// 12-byte core header, BMP3: the 40-byte info header), and ours read by it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "bmp_test_files.h"
#include "imaging/bmp_file.h"
#include "support/bitmap_text.h"

namespace quillet::imaging {
namespace {

using namespace testfiles;

#define REQUIRE_CONVERT()                                                                                 \
    if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed (apt-get install imagemagick); " \
                                        "files written by another program cannot be made"

// Pixel (x, y) of the test pictures, one of `colours` colours.
Rgb colourAt(int x, int y, int colours) {
    const int i = (x * 3 + y * 5) % colours;
    return Rgb{std::uint8_t(i * 37 % 256), std::uint8_t(255 - i * 11 % 256), std::uint8_t(i * 71 % 256)};
}

bool inkAt(int x, int y) { return (x + 2 * y) % 7 == 0 || x == 0 || y == 4; }

void run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

int infoSize(const std::string& path) {
    const auto f = readFile(path);
    return f.size() > 18 ? f[14] : -1;
}

int depth(const std::string& path) {
    const auto f = readFile(path);
    return f[14] == 12 ? f[24] : f[28];
}

struct Variant {
    const char* name;
    const char* prefix;  // convert's output format
    int infoSize;
};

class WrittenByConvert : public ::testing::TestWithParam<Variant> {};

TEST_P(WrittenByConvert, OneBitFilesLoadMonochromeWithTheirPixels) {
    REQUIRE_CONVERT();
    const Variant v = GetParam();
    ScratchDir dir;
    const int w = 37, h = 9;
    std::ostringstream pbm;  // P1: 1 is black
    pbm << "P1\n" << w << " " << h << "\n";
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) pbm << (inkAt(x, y) ? "1 " : "0 ");
        pbm << "\n";
    }
    std::ofstream(dir.file("in.pbm")) << pbm.str();
    run("convert " + dir.file("in.pbm") + " -type Bilevel " + v.prefix + ":" + dir.file("out.bmp"));
    ASSERT_EQ(infoSize(dir.file("out.bmp")), v.infoSize);
    ASSERT_EQ(depth(dir.file("out.bmp")), 1);

    EXPECT_TRUE(isMonochromeBmp(dir.file("out.bmp")));
    const Bitmap b = loadBmp(dir.file("out.bmp"));
    ASSERT_TRUE(b.monochrome());
    ASSERT_EQ(b.width(), w);
    ASSERT_EQ(b.height(), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(b.isBlack(x, y), inkAt(x, y)) << "x " << x << " y " << y;
}

struct ColourDepth {
    int colours;       // distinct colours in the picture
    const char* type;  // convert's -type
    int bits;          // depth convert is expected to choose
};

TEST_P(WrittenByConvert, ColourFilesLoadWithTheirColours) {
    REQUIRE_CONVERT();
    const Variant v = GetParam();
    for (const ColourDepth d : {ColourDepth{9, "Palette", 4}, ColourDepth{40, "Palette", 8}, ColourDepth{40, "TrueColor", 24}}) {
        SCOPED_TRACE(std::string(d.type) + " " + std::to_string(d.colours));
        ScratchDir dir;
        const int w = 23, h = 7;
        std::ostringstream ppm;
        ppm << "P3\n" << w << " " << h << "\n255\n";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgb c = colourAt(x, y, d.colours);
                ppm << int(c.r) << " " << int(c.g) << " " << int(c.b) << "\n";
            }
        std::ofstream(dir.file("in.ppm")) << ppm.str();
        run("convert " + dir.file("in.ppm") + " -type " + d.type + " " + v.prefix + ":" + dir.file("out.bmp"));
        ASSERT_EQ(infoSize(dir.file("out.bmp")), v.infoSize);
        ASSERT_EQ(depth(dir.file("out.bmp")), d.bits);

        EXPECT_FALSE(isMonochromeBmp(dir.file("out.bmp")));
        const Bitmap b = loadBmp(dir.file("out.bmp"));
        ASSERT_FALSE(b.monochrome());
        ASSERT_EQ(b.width(), w);
        ASSERT_EQ(b.height(), h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(b.pixel(x, y), colourAt(x, y, d.colours)) << "x " << x << " y " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, WrittenByConvert,
                         ::testing::Values(Variant{"BMP2", "BMP2", 12}, Variant{"BMP3", "BMP3", 40}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadByConvert, OurMonochromeFilesShowTheSamePixels) {
    REQUIRE_CONVERT();
    ScratchDir dir;
    const int w = 70, h = 5;
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.setBlack(x, y, inkAt(x, y));
    saveBmp(b, dir.file("ours.bmp"));
    run("convert " + dir.file("ours.bmp") + " -compress none " + dir.file("back.pbm"));
    std::ifstream in(dir.file("back.pbm"));
    std::string magic;
    int pw = 0, ph = 0;
    in >> magic >> pw >> ph;
    ASSERT_EQ(magic, "P1");
    ASSERT_EQ(pw, w);
    ASSERT_EQ(ph, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int bit = -1;
            in >> bit;
            ASSERT_EQ(bit == 1, inkAt(x, y)) << "x " << x << " y " << y;
        }
}

}  // namespace
}  // namespace quillet::imaging
