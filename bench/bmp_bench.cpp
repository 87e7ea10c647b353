// BMP reading and writing against `cat` reading the same files from the page
// cache, black-wins shrinking of whole pages, and enlarging copies: a cropped
// page stretched to a slightly larger width (what "Stretch to Largest Width"
// does to nearly every page) and a page doubled on both axes.
//
//   bmp_bench [-n PAGES] [DIR]
//
// Without DIR, generates PAGES (default 300) A4 300-dpi sample pages into a
// temporary folder first and removes it afterwards; with DIR, uses its *.bmp
// files. Prints figures only; never fails on a slow result.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "imaging/bitmap.h"
#include "imaging/bitmap_error.h"
#include "imaging/bmp_file.h"

namespace fs = std::filesystem;
using quillet::imaging::Bitmap;
using namespace quillet::bench;

int main(int argc, char** argv) {
    int pages = 300;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-n" && i + 1 < argc)
            pages = std::max(1, std::atoi(argv[++i]));
        else
            dir = a;
    }

    WorkDir scratch("quillet-bmp-bench");
    if (scratch.path().empty()) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path& work = scratch.path();
    std::vector<std::string> files;
    try {
        if (dir.empty()) {
            const auto a = Clock::now();
            files = writeSamplePages(work / "in", pages);
            std::printf("generated %d A4 300-dpi pages in %.2f s\n", pages, seconds(a, Clock::now()));
        } else {
            for (const auto& e : fs::directory_iterator(dir))
                if (e.path().extension() == ".bmp" || e.path().extension() == ".BMP") files.push_back(e.path().string());
            std::sort(files.begin(), files.end());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bmp_bench: %s\n", e.what());
        return 1;
    }
    if (files.empty()) {
        std::fprintf(stderr, "bmp_bench: no .bmp files\n");
        return 1;
    }
    const double n = double(files.size());
    std::uintmax_t bytes = 0;
    for (const auto& f : files) bytes += fs::file_size(f);

    int catStatus = 0;
    const double tCat = catSeconds(files, 5, catStatus);

    std::vector<Bitmap> bitmaps(files.size());
    std::size_t failed = 0;
    const double tRead = best(3, [&] {
        failed = 0;
        for (std::size_t i = 0; i < files.size(); ++i) {
            try {
                bitmaps[i] = quillet::imaging::loadBmp(files[i]);
            } catch (const quillet::imaging::BitmapError&) {
                ++failed;
            }
        }
    });

    fs::create_directories(work / "out");
    std::vector<std::string> outs;
    for (std::size_t i = 0; i < files.size(); ++i) outs.push_back((work / "out" / fs::path(files[i]).filename()).string());
    const double tWrite = best(3, [&] {
        for (std::size_t i = 0; i < files.size(); ++i)
            if (!bitmaps[i].isEmpty()) quillet::imaging::saveBmp(bitmaps[i], outs[i]);
    });

    // Black-wins shrinking of each page to half size, and to 3/7 (an odd ratio).
    auto shrinkAll = [&](int num, int den) {
        return best(3, [&] {
            for (const Bitmap& b : bitmaps) {
                Bitmap small(std::max(1, b.width() * num / den), std::max(1, b.height() * num / den));
                small.copyRect({0, 0, small.width(), small.height()}, b, {0, 0, b.width(), b.height()});
            }
        });
    };
    const double tHalf = shrinkAll(1, 2);
    const double tOdd = shrinkAll(3, 7);

    // Enlarging: columns [90, 2390) of each page (2300 wide) stretched to 2480
    // at full height, and the page doubled on both axes. The destinations are
    // made once, so only the copies are timed.
    auto enlargeAll = [&](int runs, auto dstSize, auto srcRect) {
        Bitmap dst;
        return best(runs, [&] {
            for (const Bitmap& b : bitmaps) {
                if (b.isEmpty()) continue;
                const quillet::imaging::Size d = dstSize(b);
                if (dst.width() != d.width || dst.height() != d.height) dst = Bitmap(d.width, d.height);
                dst.copyRect({0, 0, d.width, d.height}, b, srcRect(b));
            }
        });
    };
    const double tWide = enlargeAll(
        3, [](const Bitmap& b) { return quillet::imaging::Size{b.width() * 2480 / 2300, b.height()}; },
        [](const Bitmap& b) { return quillet::imaging::Rect{b.width() * 90 / 2480, 0, b.width() * 2390 / 2480, b.height()}; });
    const double tDouble = enlargeAll(
        2, [](const Bitmap& b) { return quillet::imaging::Size{2 * b.width(), 2 * b.height()}; },
        [](const Bitmap& b) { return quillet::imaging::Rect{0, 0, b.width(), b.height()}; });

    std::printf("%zu files, %.2f MB each on average%s\n", files.size(), double(bytes) / n / 1e6,
                failed ? " (some failed to load)" : "");
    std::printf("cat (page cache) : %7.3f ms/page%s\n", 1e3 * tCat / n, catStatus ? "  (cat reported an error)" : "");
    std::printf("read  -> Bitmap  : %7.3f ms/page   %.2fx cat\n", 1e3 * tRead / n, tRead / tCat);
    std::printf("write <- Bitmap  : %7.3f ms/page   %.2fx cat\n", 1e3 * tWrite / n, tWrite / tCat);
    std::printf("shrink to 1/2    : %7.3f ms/page   (black wins)\n", 1e3 * tHalf / n);
    std::printf("shrink to 3/7    : %7.3f ms/page   (black wins)\n", 1e3 * tOdd / n);
    std::printf("enlarge 2300->2480 wide, A4 page: %7.3f ms/page   %.2fx cat\n", 1e3 * tWide / n, tWide / tCat);
    std::printf("enlarge 2x (both axes)          : %7.3f ms/page   %.2fx cat\n", 1e3 * tDouble / n, tDouble / tCat);

    return 0;
}
