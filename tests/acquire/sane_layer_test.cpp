// The scanner layer on the real SANE test backend: the devices, and pages
// read through it and saved as BMP files, pixel for pixel against what
// scanimage reads from the same device with the same settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "acquire/native_image.h"
#include "acquire/page_reader.h"
#include "acquire/sane_device.h"
#include "acquire/scan_settings.h"
#include "imaging/bmp_file.h"
#include "sane_backend.h"
#include "support/temp_dir.h"

namespace quillet::acquire {
namespace {

using testing::TempDir;

// A PNM picture: P4 (1 = black), P5 grey, P6 red-green-blue.
struct Pnm {
    char kind = 0;
    int width = 0, height = 0;
    std::string data;
};

Pnm parsePnm(const std::string& s) {
    Pnm p;
    if (s.size() < 2 || s[0] != 'P') return p;
    std::size_t i = 2;
    auto number = [&] {
        while (i < s.size() && (std::isspace(static_cast<unsigned char>(s[i])) || s[i] == '#'))
            if (s[i] == '#') i = s.find('\n', i);
            else ++i;
        int v = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) v = v * 10 + (s[i++] - '0');
        return v;
    };
    p.kind = s[1];
    p.width = number();
    p.height = number();
    if (p.kind != '4') number();  // maxval
    p.data = s.substr(i + 1);
    return p;
}

// Grey level or colour of pixel (x, y) of the reference, as 0xRRGGBB.
std::uint32_t pnmPixel(const Pnm& p, int x, int y) {
    const auto at = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(p.data[i])); };
    if (p.kind == '4') {
        const std::size_t row = std::size_t(p.width + 7) / 8;
        return (at(std::size_t(y) * row + std::size_t(x) / 8) >> (7 - x % 8)) & 1 ? 0 : 0xffffff;
    }
    if (p.kind == '5') return at(std::size_t(y) * p.width + x) * 0x010101u;
    const std::size_t i = 3 * (std::size_t(y) * p.width + x);
    return at(i) << 16 | at(i + 1) << 8 | at(i + 2);
}

std::uint32_t readLe32(const std::string& file, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, file.data() + at, 4);
    return v;
}

struct ReferenceCase {
    const char* what;
    ScanMode mode;
    int dpi;
    std::vector<std::pair<std::string, std::string>> options;
    std::string scanimageArgs;
    int bits;  // of the BMP file
};

TEST(SaneLayer, ListsBothTestDevices) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    std::vector<std::string> names;
    for (const DeviceInfo& d : listDevices()) names.push_back(d.name);
    EXPECT_NE(std::find(names.begin(), names.end(), "test:0"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "test:1"), names.end());
}

TEST(SaneLayer, PagesMatchScanimageAndCarryTheirResolution) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    const ReferenceCase cases[] = {
        {"line art, 300 dpi grid", ScanMode::LineArt, 300, {{"test-picture", "Grid"}},
         "--mode Gray --depth 1 --resolution 300 --test-picture Grid", 1},
        {"line art read in pieces that split lines", ScanMode::LineArt, 150,
         {{"test-picture", "Grid"}, {"read-limit", "yes"}, {"read-limit-size", "777"}},
         "--mode Gray --depth 1 --resolution 150 --test-picture Grid", 1},
        {"hand scanner: height unknown until the end", ScanMode::LineArt, 100,
         {{"test-picture", "Grid"}, {"hand-scanner", "yes"}},
         "--mode Gray --depth 1 --resolution 100 --test-picture Grid --hand-scanner=yes", 1},
        {"grey, 8 bits", ScanMode::Grey, 75, {{"test-picture", "Color pattern"}},
         "--mode Gray --depth 8 --resolution 75 --test-picture 'Color pattern'", 8},
        {"colour in three passes", ScanMode::Colour, 75,
         {{"test-picture", "Color pattern"}, {"three-pass", "yes"}, {"three-pass-order", "GBR"}},
         "--mode Color --depth 8 --resolution 75 --test-picture 'Color pattern'", 24},
    };
    TempDir dir;
    SaneDevice device("test:0");
    for (const ReferenceCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScanSettings s;
        s.mode = c.mode;
        s.resolution = c.dpi;
        applySettings(device, s);
        for (const auto& [name, value] : c.options) device.setFromText(name, value);
        PageReader reader(device, c.dpi, c.dpi);
        ASSERT_EQ(reader.start(), PageReader::Start::Started);
        while (!reader.step(std::chrono::milliseconds(50))) {
        }
        const std::string path = dir.file("scan.bmp");
        writeNativeImage(reader.take(), path);
        // Back to the defaults for the next case.
        for (const char* option : {"three-pass", "hand-scanner", "read-limit"})
            if (device.settable(option)) device.setFromText(option, "no");

        std::ifstream in(path, std::ios::binary);
        const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GE(file.size(), 54u);
        EXPECT_EQ(file[28], char(c.bits));
        const std::uint32_t ppm = std::uint32_t(std::lround(c.dpi / 0.0254));
        EXPECT_EQ(readLe32(file, 38), ppm);
        EXPECT_EQ(readLe32(file, 42), ppm);
        EXPECT_EQ(imaging::isMonochromeBmp(path), c.bits == 1);

        const Pnm ref = parsePnm(testing::scanimage(c.scanimageArgs));
        ASSERT_GT(ref.width, 0) << "scanimage gave no reference";
        const imaging::Bitmap got = imaging::loadBmp(path);
        ASSERT_EQ(got.width(), ref.width);
        ASSERT_EQ(got.height(), ref.height);
        int wrong = 0;
        for (int y = 0; y < ref.height; ++y)
            for (int x = 0; x < ref.width; ++x) {
                const imaging::Rgb p = got.pixel(x, y);
                wrong += (std::uint32_t(p.r) << 16 | std::uint32_t(p.g) << 8 | p.b) != pnmPixel(ref, x, y);
            }
        EXPECT_EQ(wrong, 0);
    }
}

}  // namespace
}  // namespace quillet::acquire
