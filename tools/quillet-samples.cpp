// quillet-samples: writes generated scanned-text pages as 1-bit BMP files.
//
//   quillet-samples [-n N] [-d DPI] [--seed S] [--wide-speck] DIR
//
// Writes DIR/page001.bmp .. DIR/pageNNN.bmp (DIR is created if needed). Page i
// is generated from seed S + i - 1, so every page differs and a run is
// repeatable.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "imaging/bitmap_error.h"
#include "imaging/bmp_file.h"
#include "imaging/sample_page.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: quillet-samples [-n N] [-d DPI] [--seed S] [--wide-speck] DIR\n"
                 "  -n N          number of pages (default 12, at most 999)\n"
                 "  -d DPI        resolution (default 300: A4 is 2480 x 3508 pixels)\n"
                 "  --seed S      seed of the first page (default 1)\n"
                 "  --wide-speck  give every page one wide speck in a margin\n");
    return 2;
}

bool number(const char* text, long lo, long hi, long& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    long pages = 12, dpi = 300, seed = 1;
    bool wide = false;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "-n" && hasValue) {
            if (!number(argv[++i], 1, 999, pages)) return usage();
        } else if (a == "-d" && hasValue) {
            if (!number(argv[++i], 30, 1200, dpi)) return usage();
        } else if (a == "--seed" && hasValue) {
            if (!number(argv[++i], 0, 2147483647L, seed)) return usage();
        } else if (a == "--wide-speck") {
            wide = true;
        } else if (!a.empty() && a[0] != '-' && dir.empty()) {
            dir = a;
        } else {
            return usage();
        }
    }
    if (dir.empty()) return usage();

    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "quillet-samples: cannot create %s: %s\n", dir.c_str(), ec.message().c_str());
        return 1;
    }
    for (long p = 1; p <= pages; ++p) {
        char name[32];
        std::snprintf(name, sizeof name, "page%03ld.bmp", p);
        const std::string path = (std::filesystem::path(dir) / name).string();
        quillet::imaging::SamplePageOptions options;
        options.dpi = int(dpi);
        options.seed = std::uint64_t(seed + p - 1);
        options.wideSpeck = wide;
        const quillet::imaging::Bitmap page = quillet::imaging::makeSamplePage(options);
        try {
            quillet::imaging::saveBmp(page, path);
        } catch (const quillet::imaging::BitmapError& e) {
            std::fprintf(stderr, "quillet-samples: cannot write %s: %s\n", path.c_str(), e.what());
            return 1;
        }
        std::printf("%s  %d x %d\n", path.c_str(), page.width(), page.height());
    }
    std::printf("wrote %ld page%s at %ld dpi to %s\n", pages, pages == 1 ? "" : "s", dpi, dir.c_str());
    return 0;
}
