#include "bmp_test_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quillet::imaging::testfiles {

namespace {

void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

}  // namespace

std::vector<Rgb> BmpSpec::standardTable() {
    std::vector<Rgb> t(2);
    t[1] = kWhite;
    return t;
}

std::vector<std::uint8_t> BmpSpec::bytes() const {
    std::vector<std::uint8_t> info;
    put32(info, infoSize);
    if (infoSize == 12) {
        put16(info, std::uint32_t(width));
        put16(info, std::uint32_t(height));
        put16(info, planes);
        put16(info, bitsPerPixel);
    } else {
        put32(info, std::uint32_t(width));
        put32(info, std::uint32_t(height));
        put16(info, planes);
        put16(info, bitsPerPixel);
        put32(info, compression);
        put32(info, std::uint32_t(pixels.size()));
        put32(info, 2835);
        put32(info, 2835);
        put32(info, coloursUsed);
        put32(info, 0);
        info.resize(std::max<std::size_t>(info.size(), infoSize), 0);
    }
    std::vector<std::uint8_t> tab;
    for (const Rgb& c : table) {
        tab.push_back(c.b);
        tab.push_back(c.g);
        tab.push_back(c.r);
        if (infoSize != 12) tab.push_back(0);
    }
    const std::uint32_t naturalOffset = std::uint32_t(14 + info.size() + tab.size());
    const std::uint32_t off = offset < 0 ? naturalOffset : std::uint32_t(offset);
    std::vector<std::uint8_t> out{'B', 'M'};
    put32(out, std::uint32_t(naturalOffset + pixels.size()));
    put32(out, 0);
    put32(out, off);
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), tab.begin(), tab.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<std::uint8_t> oneBitRows(const std::vector<std::string>& rows, bool topDown, std::uint8_t pad) {
    const std::size_t w = rows.empty() ? 0 : rows[0].size();
    const std::size_t stride = (w + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& r = rows[topDown ? i : rows.size() - 1 - i];
        std::vector<std::uint8_t> line(stride, 0);
        for (std::size_t x = 0; x < w; ++x)
            if (r[x] == '1') line[x / 8] |= std::uint8_t(0x80 >> (x % 8));
        // Bits and bytes past the width: the padding.
        for (std::size_t x = w; x < stride * 8; ++x)
            if (pad & (0x80 >> (x % 8))) line[x / 8] |= std::uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(f.good()) << "cannot write " << path;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

bool haveConvert() {
    static const bool have = std::system("convert -version > /dev/null 2>&1") == 0;
    return have;
}

}  // namespace quillet::imaging::testfiles
