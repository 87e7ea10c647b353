#pragma once
// A scratch directory for one test, removed with everything in it at the end.

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "imaging/bitmap.h"
#include "imaging/bmp_file.h"

namespace quillet::test {

class TempDir {
public:
    TempDir() {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("quillet-apptest-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    // A file with arbitrary (non-bitmap) content.
    void writeText(const std::string& name, const std::string& text = "not a bitmap") const {
        std::ofstream(path_ / name) << text;
    }
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
    void makeDir(const std::string& name) const { std::filesystem::create_directories(path_ / name); }

private:
    std::filesystem::path path_;
};

}  // namespace quillet::test
