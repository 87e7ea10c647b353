#include "support/bitmap_text.h"

#include <sstream>

namespace quillet::test {

using imaging::Bitmap;

Bitmap bitmapFromRows(const std::vector<std::string>& rows) {
    const int h = int(rows.size());
    const int w = h ? int(rows[0].size()) : 0;
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y) {
        if (int(rows[y].size()) != w) {
            ADD_FAILURE() << "bitmapFromRows: row " << y << " has " << rows[y].size() << " characters, row 0 has " << w;
            return Bitmap();
        }
        for (int x = 0; x < w; ++x) {
            const char c = rows[y][x];
            if (c == '1' || c == '#') {
                b.setBlack(x, y, true);
            } else if (c != '0' && c != '.') {
                ADD_FAILURE() << "bitmapFromRows: unexpected character '" << c << "' at (" << x << ", " << y << ")";
                return Bitmap();
            }
        }
    }
    return b;
}

namespace {

bool darkPixel(const Bitmap& b, int x, int y) {
    if (b.monochrome()) return b.isBlack(x, y);
    const imaging::Rgb c = b.pixel(x, y);
    return 299 * c.r + 587 * c.g + 114 * c.b < 128000;
}

std::string describe(const Bitmap& b, int x, int y) {
    if (b.monochrome()) return b.isBlack(x, y) ? "black" : "white";
    const imaging::Rgb c = b.pixel(x, y);
    std::ostringstream s;
    s << "rgb(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
    return s.str();
}

bool samePixel(const Bitmap& a, const Bitmap& b, int x, int y) {
    if (a.monochrome() && b.monochrome()) return a.isBlack(x, y) == b.isBlack(x, y);
    return a.pixel(x, y) == b.pixel(x, y);
}

}  // namespace

std::vector<std::string> bitmapRows(const Bitmap& bitmap) {
    std::vector<std::string> rows;
    for (int y = 0; y < bitmap.height(); ++y) {
        std::string r(std::size_t(bitmap.width()), '0');
        for (int x = 0; x < bitmap.width(); ++x)
            if (darkPixel(bitmap, x, y)) r[std::size_t(x)] = '1';
        rows.push_back(std::move(r));
    }
    return rows;
}

::testing::AssertionResult bitmapsEqual(const Bitmap& actual, const Bitmap& expected) {
    if (actual.width() != expected.width() || actual.height() != expected.height())
        return ::testing::AssertionFailure() << "size differs: actual " << actual.width() << " x " << actual.height()
                                             << ", expected " << expected.width() << " x " << expected.height();
    long long differing = 0;
    int fx = -1, fy = -1;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (!samePixel(actual, expected, x, y)) {
                if (differing++ == 0) fx = x, fy = y;
            }
    if (differing == 0) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    failure << differing << " pixel(s) differ in " << actual.width() << " x " << actual.height()
            << "; first at (x " << fx << ", y " << fy << "): actual " << describe(actual, fx, fy) << ", expected "
            << describe(expected, fx, fy);
    if (actual.width() <= 80 && actual.height() <= 40) {
        failure << "\nactual:";
        for (const auto& r : bitmapRows(actual)) failure << "\n  " << r;
        failure << "\nexpected:";
        for (const auto& r : bitmapRows(expected)) failure << "\n  " << r;
    }
    return failure;
}

void expectBitmapsEqual(const Bitmap& actual, const Bitmap& expected) {
    EXPECT_TRUE(bitmapsEqual(actual, expected));
}

}  // namespace quillet::test
