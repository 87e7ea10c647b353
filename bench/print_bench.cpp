// Preparing the device page of a print job: a composed page stretched to the
// printed size at device pixels (black wins) and, with Thick Print,
// thickened on the packed store, for a 600-dpi and a 1200-dpi A4 printable
// area; and the preview image of an A4 300-dpi page. Best of several runs.
//
//   print_bench PAGE.bmp...   (default: one generated A4 300-dpi page)
//
// bench/print_bench.sh runs it beside the spooling comparison with lp.

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "imaging/bmp_file.h"
#include "output/preview_command.h"
#include "output/print_command.h"

namespace {

using namespace quillet;

struct Printer {
    const char* name;
    app::PrinterGeometry geometry;
};

void prepare(const std::string& label, const imaging::Bitmap& page) {
    const Printer printers[] = {
        {"600-dpi A4 (203 x 289 mm)", {203, 289, 4794, 6826}},
        {"1200-dpi A4 (cups-pdf, 203 x 290 mm)", {203, 290, 9583, 13699}},
    };
    for (const Printer& p : printers) {
        const imaging::Size printed = output::printedPixels(p.geometry, p.geometry.widthMm, p.geometry.heightMm);
        const imaging::Size area{p.geometry.widthPx, p.geometry.heightPx};
        for (bool thick : {false, true}) {
            const double s = bench::best(5, [&] { (void)output::devicePage(page, printed, area, thick); });
            std::printf("%-28s %6d x %-6d -> %-38s %-5s %8.1f ms\n", label.c_str(), page.width(), page.height(),
                        p.name, thick ? "thick" : "plain", s * 1000);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::pair<std::string, imaging::Bitmap>> pages;
    try {
        for (int i = 1; i < argc; ++i) pages.emplace_back(argv[i], imaging::loadBmp(argv[i]));
        if (pages.empty()) {
            imaging::SamplePageOptions o;
            pages.emplace_back("generated A4 300-dpi page", imaging::makeSamplePage(o));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "print_bench: %s\n", e.what());
        return 1;
    }
    std::printf("device page preparation (stretch, thickening), best of 5:\n");
    for (const auto& [name, page] : pages) prepare(name, page);

    // The preview of an A4 300-dpi page at the printed size A4 (Thick Print
    // on and off).
    imaging::SamplePageOptions o;
    const imaging::Bitmap a4 = imaging::makeSamplePage(o);
    for (bool thick : {false, true}) {
        const double s = bench::best(5, [&] { (void)output::previewImage(a4, 203, 290, thick); });
        std::printf("preview image of a %d x %d page at 203 x 290 mm, %s: %.1f ms\n", a4.width(), a4.height(),
                    thick ? "thick" : "plain", s * 1000);
    }
    return 0;
}
