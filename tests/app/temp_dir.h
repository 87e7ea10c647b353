#pragma once
// The shared scratch directory with the bitmap files the app tests put in it.

#include <string>

#include "imaging/bitmap.h"
#include "imaging/bmp_file.h"
#include "support/temp_dir.h"

namespace quillet::test {

class TempDir : public testing::TempDir {
public:
    TempDir() : testing::TempDir("quillet-apptest") {}

    // A small valid monochrome BMP of the given size with one black pixel.
    void writeBitmap(const std::string& name, int w = 8, int h = 4) const {
        imaging::Bitmap b(w, h);
        b.setBlack(0, 0, true);
        imaging::saveBmp(b, file(name));
    }
    // n bitmaps named page1.bmp .. pageN.bmp.
    void writePages(int n) const {
        for (int i = 1; i <= n; ++i) writeBitmap("page" + std::to_string(i) + ".bmp");
    }
};

}  // namespace quillet::test
