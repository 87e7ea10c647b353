// Importing a scanned PDF: `quillet-batch import --dpi 300` against what a
// user would script with poppler and netpbm, `pdftoppm -mono -r 300` and then
// `ppmtobmp` for each page, on a PDF of generated scanned-text pages.
//
//   import_bench [-n PAGES] [-r RUNS] [--keep DIR]
//
// Writes PAGES (default 60) A4 300-dpi sample pages into one PDF (each page a
// lossless 1-bit image, as a scanner's PDF holds it), then runs both commands
// RUNS times in turn (default 3) and prints the best wall time of each, their
// ratio and the peak memory of each (the largest process). --keep DIR leaves
// the PDF in DIR (DIR/book.pdf) and skips the timing. Prints figures only.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "bench_support.h"
#include "imaging/sample_page.h"
#include "output/pdf_document.h"

namespace fs = std::filesystem;
using namespace quillet::bench;

namespace {

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    int status = 0;
};

// Runs a /bin/sh command line; wall time and the largest resident size of
// the command and everything it waited for.
Run measure(const std::string& command) {
    Run r;
    const auto a = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    r.seconds = seconds(a, Clock::now());
    r.peakKiB = usage.ru_maxrss;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string batchPath(const char* argv0) {
    return (fs::absolute(argv0).parent_path().parent_path() / "tools" / "quillet-batch").string();
}

}  // namespace

int main(int argc, char** argv) {
    int pages = 60, runs = 3;
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-n" && i + 1 < argc) pages = std::max(1, std::atoi(argv[++i]));
        else if (a == "-r" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--keep" && i + 1 < argc) keep = argv[++i];
    }
    WorkDir scratch("quillet-import-bench");
    if (scratch.path().empty()) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path work = keep.empty() ? fs::path(scratch.path()) : fs::path(keep);
    const std::string pdfPath = (work / "book.pdf").string();
    try {
        fs::create_directories(work);
        const auto a = Clock::now();
        quillet::output::PdfDocument pdf(pdfPath);
        for (int p = 1; p <= pages; ++p) {
            quillet::imaging::SamplePageOptions o;
            o.seed = std::uint64_t(p);
            pdf.addPage(quillet::imaging::makeSamplePage(o), 210, 297, 300);
        }
        pdf.finish();
        std::printf("wrote %d A4 300-dpi sample pages into %s in %.2f s\n", pages, pdfPath.c_str(),
                    seconds(a, Clock::now()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "import_bench: %s\n", e.what());
        return 1;
    }
    if (!keep.empty()) return 0;

    const std::string ours = shellQuote(batchPath(argv[0])) + " import --dpi 300 -o " +
                             shellQuote((work / "ours").string()) + " " + shellQuote(pdfPath) + " > /dev/null";
    const std::string peerDir = shellQuote((work / "peer").string());
    const std::string peer = "mkdir -p " + peerDir + " && cd " + peerDir + " && pdftoppm -mono -r 300 " +
                             shellQuote(pdfPath) +
                             " p && for f in p-*.pbm; do ppmtobmp \"$f\" > \"${f%.pbm}.bmp\" 2>/dev/null || exit 1; done";
    Run bestOurs{1e300}, bestPeer{1e300};
    int status = 0;
    for (int i = 0; i < runs; ++i) {
        std::error_code ec;
        fs::remove_all(work / "ours", ec);
        fs::remove_all(work / "peer", ec);
        const Run o = measure(ours), p = measure(peer);
        status |= o.status | p.status;
        if (o.seconds < bestOurs.seconds) bestOurs = o;
        if (p.seconds < bestPeer.seconds) bestPeer = p;
        bestOurs.peakKiB = std::max(bestOurs.peakKiB, o.peakKiB);
        bestPeer.peakKiB = std::max(bestPeer.peakKiB, p.peakKiB);
    }
    std::printf("quillet-batch import --dpi 300      %7.2f s  peak %6.1f MiB\n", bestOurs.seconds,
                bestOurs.peakKiB / 1024.0);
    std::printf("pdftoppm -mono -r 300 + ppmtobmp    %7.2f s  peak %6.1f MiB\n", bestPeer.seconds,
                bestPeer.peakKiB / 1024.0);
    std::printf("speed-up over the peer: %.2fx (best of %d runs each, %d pages, %u processors)\n",
                bestPeer.seconds / bestOurs.seconds, runs, pages, std::thread::hardware_concurrency());
    if (status != 0) std::printf("note: a command reported an error (status %d)\n", status);
    return 0;
}
