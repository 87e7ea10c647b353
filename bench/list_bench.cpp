// Listing and selecting a directory of bitmaps, and showing a clicked A4 page
// in the viewer model, through the Program as the user drives it.
//
//   list_bench [-n FILES]
//
// Generates FILES (default 1000) small bitmaps and one A4 300-dpi sample page
// in a temporary folder, removed afterwards. Prints figures only.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "program/program.h"
#include "bench_support.h"
#include "imaging/bmp_file.h"
#include "imaging/sample_page.h"

namespace fs = std::filesystem;
using namespace quillet;
using bench::Clock;
int main(int argc, char** argv) {
    int files = 1000;
    if (argc > 2 && std::strcmp(argv[1], "-n") == 0) files = std::max(1, std::atoi(argv[2]));

    const bench::WorkDir scratch("quillet-list-bench");
    if (scratch.path().empty()) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path& root = scratch.path();
    const fs::path many = root / "many";
    const fs::path other = root / "other";
    fs::create_directories(many);
    fs::create_directories(other);
    imaging::Bitmap small(64, 32);
    small.setBlack(1, 1, true);
    for (int i = 1; i <= files; ++i)
        imaging::saveBmp(small, (many / ("page" + std::to_string(i) + ".bmp")).string());
    const std::string a4 = (other / "a4page.bmp").string();
    imaging::saveBmp(imaging::makeSamplePage({}), a4);

    // Desktop services that answer every question with its default at once.
    bench::QuietPlatform platform;
    platform.screen = {1920, 1080};
    platform.opensFiles = true;
    platform.tempDir = fs::temp_directory_path().string();
    double startMs = 0, changeMs = 0, clickMs = 0;
    {
        const auto t0 = Clock::now();
        app::Program program(platform, many.string(), "");
        const auto t1 = Clock::now();
        startMs = bench::millis(t0, t1);
        std::printf("start in %d bitmaps: listed %d, selected %d, \"%s\" in %.2f ms\n", files,
                    program.form.FileListBox1.count(), program.form.FileListBox1.selectedCount(),
                    program.form.Panel1.text().c_str(), startMs);

        // Two directory changes: the second selects everything.
        program.form.changeDirectory(other.string());
        const auto t2 = Clock::now();
        program.form.changeDirectory(many.string());
        const auto t3 = Clock::now();
        changeMs = bench::millis(t2, t3);
        std::printf("directory change to %d bitmaps: selected %d, \"%s\" in %.2f ms\n", files,
                    program.form.FileListBox1.selectedCount(), program.form.Panel1.text().c_str(),
                    changeMs);

        // A click on the A4 page: unlock, counter, load into the viewer.
        program.form.changeDirectory(other.string());
        double best = 1e300;
        for (int run = 0; run < 5; ++run) {
            const auto t4 = Clock::now();
            program.form.FileListBox1.userClick(0);
            const auto t5 = Clock::now();
            best = std::min(best, bench::millis(t4, t5));
        }
        clickMs = best;
        std::printf("click on A4 300-dpi page (%d x %d) to viewer model: %.2f ms (best of 5)\n",
                    program.tempform.ViewerBitmap.width(), program.tempform.ViewerBitmap.height(),
                    clickMs);
    }
    return 0;
}
