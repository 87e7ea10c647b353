// The selection lock on generated pages against reading the same files with
// `cat`, netpbm's trim (bmptopnm | pnmcrop -white) and ImageMagick's
// `mogrify -trim`, with the lock's peak memory above the idle size.
//
//   lock_bench [--quick] [-n PAGES] [DIR]
//
// Without DIR, generates PAGES (default 300) A4 300-dpi sample pages into a
// temporary folder and removes it afterwards; with DIR, locks its *.bmp files.
// --quick runs netpbm and ImageMagick on the first 30 files only and scales
// their times to the whole set (the output says so). Prints figures only.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "program/program.h"
#include "bench_support.h"
#include "imaging/bmp_file.h"

namespace fs = std::filesystem;
using namespace quillet::bench;

namespace {

// The desktop reduced to nothing: the lock's beeps, cursors and repaints cost
// no more than a call; messages are logged.
struct NullPlatform : QuietPlatform {
    NullPlatform() { logName = "lock_bench"; }
};

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"), -1 when missing.
long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size());
    return -1;
}

// Resets the peak resident size to the current one (Linux 4.0 and later).
bool resetPeak() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return bool(out);
}

bool have(const char* tool) {
    return std::system(("command -v " + std::string(tool) + " > /dev/null 2>&1").c_str()) == 0;
}

}  // namespace

// In a fresh process (so that nothing the generator or earlier locks left in
// the allocator hides the lock's own use): the program up over dir, its
// resident size, one lock, and the peak. Prints "idleKb peakKb locked".
int memoryProbe(const std::string& dir) {
    NullPlatform platform;
    quillet::app::Program program(platform, dir, "");
    const long idle = statusKb("VmRSS");
    const bool reset = resetPeak();
    program.form.lockselection.setChecked(true);
    const long peak = reset ? statusKb("VmHWM") : -1;
    std::printf("%ld %ld %d\n", idle, peak, program.form.lockselection.checked() ? 1 : 0);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--memory-probe") return memoryProbe(argv[2]);
    int pages = 300;
    bool quick = false;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick")
            quick = true;
        else if (a == "-n" && i + 1 < argc)
            pages = std::clamp(std::atoi(argv[++i]), 1, 300);
        else
            dir = a;
    }

    const WorkDir scratch("quillet-lock-bench");
    if (scratch.path().empty()) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path& work = scratch.path();
    std::vector<std::string> files;
    try {
        if (dir.empty()) {
            dir = (work / "in").string();
            const auto a = Clock::now();
            writeSamplePages(dir, pages);
            std::printf("generated %d A4 300-dpi pages in %.1f s\n", pages, seconds(a, Clock::now()));
        }
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".bmp") files.push_back(e.path().string());
        std::sort(files.begin(), files.end());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lock_bench: %s\n", e.what());
        return 1;
    }
    if (files.empty() || files.size() > 300) {
        std::fprintf(stderr, "lock_bench: need 1 to 300 .bmp files, found %zu\n", files.size());
        return 1;
    }
    const double n = double(files.size());
    std::uintmax_t bytes = 0;
    for (const auto& f : files) bytes += fs::file_size(f);

    // ---- cat, page cache warm
    int status = 0;
    const double tCat = catSeconds(files, 5, status);

    // ---- the lock, with and without the statistics
    NullPlatform platform;
    platform.tempDir = work.string();
    long idleKb = 0, peakKb = 0;
    double tLock = 0, tLockNoStats = 0;
    bool locked = true;
    std::string totals;
    {
        quillet::app::Program program(platform, dir, "");
        auto& form = program.form;
        auto lockOnce = [&] {
            form.lockselection.setChecked(true);
            locked = locked && form.lockselection.checked();
            form.lockselection.setChecked(false);
        };
        lockOnce();  // the allocator and the page cache settle
        tLock = best(5, lockOnce);
        form.lockselection.setChecked(true);
        totals = form.Panel1.text();
        form.lockselection.setChecked(false);

        form.Compressiontoggle1.click();  // compression off
        tLockNoStats = best(5, lockOnce);
        form.Compressiontoggle1.click();
    }

    // ---- peak memory of one lock, in a fresh process
    {
        const std::string cmd = shellQuote(fs::read_symlink("/proc/self/exe").string()) +
                                " --memory-probe " + shellQuote(dir);
        if (FILE* p = popen(cmd.c_str(), "r")) {
            int probeLocked = 0;
            if (std::fscanf(p, "%ld %ld %d", &idleKb, &peakKb, &probeLocked) != 3) peakKb = -1;
            locked = locked && probeLocked;
            pclose(p);
        } else {
            peakKb = -1;
        }
    }

    // ---- loading alone, for the share of the lock that is reading pages
    const double tLoad = best(5, [&] {
        for (const auto& f : files) {
            try {
                const quillet::imaging::Bitmap page = quillet::imaging::loadBmp(f);
                status |= page.isEmpty() ? 1 : 0;
            } catch (const std::exception&) {
                status |= 1;
            }
        }
    });

    // ---- netpbm and ImageMagick
    const std::size_t peers = quick ? std::min<std::size_t>(30, files.size()) : files.size();
    const double scale = n / double(peers);
    double tNetpbm = -1, tMogrify = -1;
    if (have("bmptopnm") && have("pnmcrop")) {
        std::string cmd = "for f in";
        for (std::size_t i = 0; i < peers; ++i) cmd += " " + shellQuote(files[i]);
        cmd += "; do bmptopnm \"$f\" 2>/dev/null | pnmcrop -white > /dev/null 2>&1; done";
        tNetpbm = best(1, [&] { status |= std::system(cmd.c_str()); }) * scale;
    }
    if (have("mogrify")) {
        const fs::path copies = work / "copies";
        fs::create_directories(copies);
        std::string cmd = "mogrify -trim";
        for (std::size_t i = 0; i < peers; ++i) {
            const fs::path c = copies / fs::path(files[i]).filename();
            fs::copy_file(files[i], c, fs::copy_options::overwrite_existing);
            cmd += " " + shellQuote(c.string());
        }
        cmd += " > /dev/null 2>&1";
        tMogrify = best(1, [&] { status |= std::system(cmd.c_str()); }) * scale;
    }

    std::printf("%zu files, %.2f MB each%s\n", files.size(), double(bytes) / n / 1e6,
                locked ? "" : "  (THE LOCK FAILED: figures are meaningless)");
    std::printf("last status: %s\n", totals.c_str());
    std::printf("cat (page cache)        : %8.3f s  %7.3f ms/page\n", tCat, 1e3 * tCat / n);
    std::printf("lock with statistics    : %8.3f s  %7.3f ms/page  %6.2fx cat (target <= 5)\n",
                tLock, 1e3 * tLock / n, tLock / tCat);
    std::printf("lock without statistics : %8.3f s  %7.3f ms/page  with/without %.2fx (target >= 1.5)\n",
                tLockNoStats, 1e3 * tLockNoStats / n, tLock / tLockNoStats);
    std::printf("loadBmp of every page   : %8.3f s  %7.3f ms/page  (%.0f%% of the lock with statistics)\n",
                tLoad, 1e3 * tLoad / n, 100 * tLoad / tLock);
    const char* note = quick ? "  (30 files, scaled)" : "";
    if (tNetpbm >= 0)
        std::printf("bmptopnm | pnmcrop      : %8.3f s  %7.3f ms/page  %6.1fx the lock (target >= 10)%s\n",
                    tNetpbm, 1e3 * tNetpbm / n, tNetpbm / tLock, note);
    else
        std::printf("bmptopnm | pnmcrop      : not installed\n");
    if (tMogrify >= 0)
        std::printf("mogrify -trim           : %8.3f s  %7.3f ms/page  %6.1fx the lock (target >= 100)%s\n",
                    tMogrify, 1e3 * tMogrify / n, tMogrify / tLock, note);
    else
        std::printf("mogrify -trim           : not installed\n");
    if (peakKb >= 0)
        std::printf("lock peak memory        : %8.1f MB above idle (%.1f MB idle, fresh process) (target < 50)\n",
                    double(peakKb - idleKb) / 1024, double(idleKb) / 1024);
    else
        std::printf("lock peak memory        : could not be measured\n");
    if (status) std::printf("(a peer command reported an error)\n");

    return 0;
}
