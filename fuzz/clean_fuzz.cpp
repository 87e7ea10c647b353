// The clean-up on arbitrary BMP files. For every black-and-white page that
// decodes (up to a million pixels, at the resolution its header claims):
//  - only a CleanupError or a BitmapError escapes (anything else ends the run);
//  - the cleaned page is black and white with the bits past its width 0;
//  - without deskew, the page keeps its size and only loses ink: every black
//    pixel of the result was black before.
// The last byte of the input switches the steps.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "cleanup/clean_page.h"
#include "cleanup/cleanup_error.h"
#include "imaging/bit_rows.h"
#include "imaging/bmp_file.h"

using quillet::imaging::Bitmap;

namespace {

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "clean_fuzz: %s\n", what);
    std::abort();
}

void check(const Bitmap& before, const Bitmap& after, bool deskewed) {
    if (!after.monochrome()) fault("the cleaned page is not black and white");
    const int tail = after.width() % 64;
    for (int y = 0; y < after.height() && tail != 0; ++y)
        if (after.row(y)[after.wordsPerRow() - 1] & ~quillet::imaging::leadingMask(tail)) fault("bits past the width");
    if (deskewed) return;
    if (after.width() != before.width() || after.height() != before.height()) fault("the page changed size");
    for (int y = 0; y < after.height(); ++y)
        for (int k = 0; k < after.wordsPerRow(); ++k)
            if (after.row(y)[k] & ~before.row(y)[k]) fault("ink appeared");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    Bitmap page;
    try {
        page = quillet::imaging::decodeBmp(data, size);
    } catch (const quillet::imaging::BitmapError&) {
        return 0;
    }
    if (!page.monochrome() || std::int64_t(page.width()) * page.height() > (1 << 20)) return 0;
    quillet::cleanup::CleanupSettings s;
    const std::uint8_t steps = data[size - 1];
    s.deskew = steps & 1;
    s.borders = steps & 2;
    s.despeckle = steps & 4;
    try {
        const quillet::cleanup::CleanedPage cleaned = quillet::cleanup::cleanPage(page, s);
        check(page, cleaned.page, s.deskew);
        if (cleaned.report.summary().empty()) fault("an empty report");
    } catch (const quillet::cleanup::CleanupError&) {
    } catch (const quillet::imaging::BitmapError&) {
    }
    return 0;
}
