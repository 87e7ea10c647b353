// Archives of real-sized pages against Info-ZIP: Add selected files (the
// question answered All) against `zip -9 -j`, Extract against `unzip`, and
// listing the archive's directory.
//
//   zip_bench [-n PAGES] [DIR]
//
// Uses the *.bmp pages of DIR (made with quillet-samples -n 300 DIR), or
// generates PAGES (default 300) A4 300-dpi sample pages in a temporary folder,
// removed afterwards. Each side runs once after the page cache is warmed by
// cat; prints sizes, times, ratios and peak memory. Never asserts.

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "program/program.h"

namespace fs = std::filesystem;
using namespace quillet;
using bench::Clock;

namespace {

// Answers the add question with All.
struct AllPlatform : bench::QuietPlatform {
    app::Button messageBox(const app::MessageBoxRequest& r) override {
        if (r.kind == app::MessageKind::Confirmation) return app::Button::All;
        std::fprintf(stderr, "zip_bench: message: %s\n", r.text.c_str());
        return app::Button::Ok;
    }
};

long peakKb(int who) {
    rusage u{};
    ::getrusage(who, &u);
    return u.ru_maxrss;
}

double timedShell(const std::string& command) {
    const auto t0 = Clock::now();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "zip_bench: failed: %s\n", command.c_str());
    return bench::seconds(t0, Clock::now());
}

}  // namespace

int main(int argc, char** argv) {
    int pages = 300;
    std::string source;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-n") == 0 && i + 1 < argc) pages = std::max(1, std::atoi(argv[++i]));
        else source = argv[i];
    }
    const bench::WorkDir scratch("quillet-zip-bench");
    if (scratch.path().empty()) return std::perror("mkdtemp"), 1;
    const fs::path root = scratch.path();
    std::vector<std::string> files;
    if (source.empty()) {
        source = (root / "pages").string();
        files = bench::writeSamplePages(source, pages);
    } else {
        for (const auto& e : fs::directory_iterator(source))
            if (e.path().extension() == ".bmp") files.push_back(e.path().string());
        std::sort(files.begin(), files.end());
    }
    int status = 0;
    bench::catSeconds(files, 1, status);
    for (const char* d : {"ours", "theirs", "ours-out", "theirs-out"}) fs::create_directories(root / d);

    // Ours: the pop-up's Add selected files with every page selected.
    AllPlatform platform;
    double addS = 0, extractS = 0, listMs = 1e300;
    int listed = 0;
    const std::string archive = (root / "ours" / "page.zip").string();
    {
        app::Program program(platform, source, "");
        program.form.OutputDirectory = (root / "ours").string();
        program.form.OutputDirectoryChosen = true;
        const auto t0 = Clock::now();
        program.form.Addselectedfilesto1.click();
        addS = bench::seconds(t0, Clock::now());

        archive::TZipMaster reader(platform);
        for (int run = 0; run < 20; ++run) {
            const auto t1 = Clock::now();
            reader.setZipFileName(archive);
            listMs = std::min(listMs, bench::msSince(t1));
        }
        listed = reader.Count();

        reader.ExtrBaseDir = (root / "ours-out").string();
        const auto t2 = Clock::now();
        reader.Extract();
        extractS = bench::seconds(t2, Clock::now());
    }
    const long oursPeak = peakKb(RUSAGE_SELF);

    // Theirs: zip -9 -j and unzip on the same pages.
    const std::string theirs = (root / "theirs" / "page.zip").string();
    const double zipS = timedShell("zip -q -9 -j " + bench::shellQuote(theirs) + " " + bench::shellQuote(source) + "/*.bmp");
    const double unzipS = timedShell("unzip -q " + bench::shellQuote(theirs) + " -d " +
                                     bench::shellQuote((root / "theirs-out").string()));
    const long theirsPeak = peakKb(RUSAGE_CHILDREN);

    std::error_code ec;
    const double oursSize = double(fs::file_size(archive, ec)), theirsSize = double(fs::file_size(theirs, ec));
    std::printf("%zu pages, %.1f MB of bitmaps\n", files.size(),
                double(files.size()) * double(fs::file_size(files.front(), ec)) / 1e6);
    std::printf("archive size: ours %.0f bytes, zip -9 %.0f bytes, ratio %.4f\n", oursSize, theirsSize,
                oursSize / theirsSize);
    std::printf("add (All):    ours %.2f s, zip -9 -j %.2f s, ratio %.2f\n", addS, zipS, addS / zipS);
    std::printf("extract:      ours %.2f s, unzip %.2f s, ratio %.2f\n", extractS, unzipS, extractS / unzipS);
    std::printf("listing %d entries: %.2f ms (best of 20)\n", listed, listMs);
    std::printf("peak memory:  ours %ld KB (whole bench process), zip/unzip %ld KB\n", oursPeak, theirsPeak);
    return status == 0 ? 0 : 1;
}
