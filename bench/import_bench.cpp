// Importing PDFs: `quillet-batch import` against `pdftoppm -r 300 -mono` on
// the same files, run in turn, with wall times, their ratio and peak memory.
//
//   import_bench [-r RUNS] [--pages N] [--keep DIR]
//
// Three inputs, made from what the system ships:
//   scanned  N real pages (default 24): /usr/share/doc/bzip2/manual.pdf.gz
//            rendered 1-bit at 300 dpi, each page a Group 4 TIFF, joined with
//            tiffcp and wrapped by tiff2pdf, as a scanner's PDF holds them;
//            the imported pages are compared pixel for pixel with the pages
//            scanned;
//   born     the same manual as it ships (text and lines), rendered at 300 dpi;
//   huge     two blank 7800 x 7800 pt pages at 300 dpi (32500 x 32500 pixels).
// Each command runs RUNS times in turn (default 3); the best wall time of
// each is printed, with the peak memory: of the largest process and of the
// whole process tree together (sampled every few milliseconds, in one more
// run that is not timed). --keep DIR
// leaves the inputs in DIR. Prints figures only.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "imaging/bmp_file.h"

namespace fs = std::filesystem;
using namespace quillet::bench;

namespace {

struct Run {
    double seconds = 0;
    long peakKiB = 0;      // the largest process
    long treePeakKiB = 0;  // the process tree at once
    int status = 0;
};

// Resident KiB of `root` and every process below it.
long treeKiB(pid_t root) {
    std::map<pid_t, pid_t> parent;
    std::map<pid_t, long> rss;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        std::string state;
        long ppid = 0;
        rest >> state >> ppid;
        std::ifstream statm(entry.path() / "statm");
        long size = 0, resident = 0;
        statm >> size >> resident;
        const pid_t pid = pid_t(std::stol(name));
        parent[pid] = pid_t(ppid);
        rss[pid] = resident * (::sysconf(_SC_PAGESIZE) / 1024);
    }
    long total = 0;
    for (const auto& [pid, kib] : rss) {
        for (pid_t p = pid; p > 1; p = parent.count(p) ? parent[p] : 0)
            if (p == root) {
                total += kib;
                break;
            }
    }
    return total;
}

// Runs a /bin/sh command line: wall time, the largest resident size of any
// process in it, and, when `sampled`, the largest sum over its process tree
// (the sampling takes processor time from the command: runs that are timed
// are not sampled).
Run measure(const std::string& command, bool sampled) {
    Run r;
    const auto a = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::atomic<bool> done{false};
    std::atomic<long> tree{0};
    std::thread sampler([&] {
        while (!done && sampled) {
            tree = std::max(tree.load(), treeKiB(pid));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    r.seconds = seconds(a, Clock::now());
    done = true;
    sampler.join();
    r.peakKiB = usage.ru_maxrss;
    r.treePeakKiB = tree;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// The best time of `runs` runs, and the memory of one more run sampled.
Run best(const std::string& command, const std::string& clean, int runs) {
    Run b{1e300};
    for (int i = 0; i <= runs; ++i) {
        if (std::system(clean.c_str()) != 0) {}
        const bool sampled = i == runs;
        const Run r = measure(command, sampled);
        if (!sampled && r.seconds < b.seconds) b.seconds = r.seconds;
        b.peakKiB = std::max(b.peakKiB, r.peakKiB);
        b.treePeakKiB = std::max(b.treePeakKiB, r.treePeakKiB);
        b.status |= r.status;
    }
    return b;
}

void report(const char* what, const Run& ours, const Run& peer) {
    std::printf("%-8s quillet-batch import %7.2f s  peak %6.0f MiB (tree %6.0f MiB)%s\n", what, ours.seconds,
                ours.peakKiB / 1024.0, ours.treePeakKiB / 1024.0, ours.status ? "  [error]" : "");
    std::printf("%-8s pdftoppm -r 300 -mono %6.2f s  peak %6.0f MiB%s\n", "", peer.seconds, peer.peakKiB / 1024.0,
                peer.status ? "  [error]" : "");
    std::printf("%-8s ours / peer wall time: %.3f (peer is %.2fx ours)\n", "", ours.seconds / peer.seconds,
                peer.seconds / ours.seconds);
}

// A P4 PBM file's pixels as a bitmap (1 = black, as the store holds them).
quillet::imaging::Bitmap readPbm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0;
    in >> magic >> w >> h;
    in.get();
    quillet::imaging::Bitmap b(w, h);
    std::vector<char> row(std::size_t((w + 7) / 8));
    for (int y = 0; y < h; ++y) {
        in.read(row.data(), std::streamsize(row.size()));
        for (int x = 0; x < w; ++x) b.setBlack(x, y, (row[std::size_t(x / 8)] >> (7 - x % 8)) & 1);
    }
    return b;
}

bool samePixels(const quillet::imaging::Bitmap& a, const quillet::imaging::Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (!std::equal(a.row(y), a.row(y) + a.wordsPerRow(), b.row(y))) return false;
    return true;
}

std::string batchPath(const char* argv0) {
    return (fs::absolute(argv0).parent_path().parent_path() / "tools" / "quillet-batch").string();
}

}  // namespace

int main(int argc, char** argv) {
    int pages = 24, runs = 3;
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-r" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--pages" && i + 1 < argc) pages = std::clamp(std::atoi(argv[++i]), 1, 38);
        else if (a == "--keep" && i + 1 < argc) keep = argv[++i];
    }
    WorkDir scratch("quillet-import-bench");
    const fs::path work = keep.empty() ? fs::path(scratch.path()) : fs::path(keep);
    fs::create_directories(work);
    const std::string w = shellQuote(work.string());
    const std::string make =
        "cd " + w + " && zcat /usr/share/doc/bzip2/manual.pdf.gz > born.pdf && mkdir -p scan && "
        "pdftoppm -mono -r 300 -l " + std::to_string(pages) + " born.pdf scan/p && "
        "for f in scan/p-*.pbm; do pnmtotiff -g4 -xresolution 300 -yresolution 300 \"$f\" > \"${f%.pbm}.tif\" "
        "2>/dev/null || exit 1; done && tiffcp scan/p-*.tif scan/all.tif && tiff2pdf -o scanned.pdf scan/all.tif && "
        "printf '%%PDF-1.4\\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\\n"
        "2 0 obj << /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >> endobj\\n"
        "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 7800 7800] >> endobj\\n"
        "4 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 7800 7800] >> endobj\\n"
        "trailer << /Root 1 0 R >>\\n%%%%EOF\\n' > huge.pdf";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "import_bench: the inputs cannot be made (poppler-utils, netpbm, libtiff-tools)\n");
        return 1;
    }
    std::printf("inputs in %s: scanned.pdf (%d G4 pages at 300 dpi), born.pdf, huge.pdf\n", work.c_str(), pages);
    const std::string batch = shellQuote(batchPath(argv[0]));
    for (const char* input : {"scanned", "born", "huge"}) {
        const std::string pdf = w + "/" + input + ".pdf";
        const std::string clean = "rm -rf " + w + "/ours " + w + "/peer; mkdir -p " + w + "/peer";
        const Run ours = best(batch + " import --dpi 300 -o " + w + "/ours " + pdf + " > /dev/null", clean, runs);
        int same = 0;
        for (int p = 1; p <= pages && std::string(input) == "scanned"; ++p) {
            char bmp[32], pbm[32];
            std::snprintf(bmp, sizeof bmp, "/ours/page%03d.bmp", p);
            std::snprintf(pbm, sizeof pbm, "/scan/p-%02d.pbm", p);
            try {
                same += samePixels(quillet::imaging::loadBmp(work.string() + bmp), readPbm(work.string() + pbm));
            } catch (const std::exception&) {
            }
        }
        const Run peer = best("pdftoppm -r 300 -mono " + pdf + " " + w + "/peer/p", clean, std::string(input) == "huge" ? 1 : runs);
        report(input, ours, peer);
        if (std::string(input) == "scanned")
            std::printf("%-8s %d of %d imported pages identical pixel for pixel to the pages scanned\n", "", same, pages);
    }
    std::printf("(best of %d runs each; %u processors; the process tree's peak is sampled)\n", runs,
                std::thread::hardware_concurrency());
    return 0;
}
