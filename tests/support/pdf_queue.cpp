#include "support/pdf_queue.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/batch_run.h"

namespace quillet::testing {

namespace fs = std::filesystem;

namespace {

std::string capture(const std::string& cmd, int* status = nullptr) {
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (p == nullptr) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = ::pclose(p);
    if (status) *status = st;
    return out;
}

// The "Out" folder of cups-pdf.conf, ${HOME} replaced; ~/PDF by default.
fs::path cupsPdfFolder() {
    const char* home = std::getenv("HOME");
    const std::string h = home != nullptr ? home : "/root";
    std::string out = "${HOME}/PDF";
    std::ifstream conf("/etc/cups/cups-pdf.conf");
    std::string line;
    while (std::getline(conf, line))
        if (line.rfind("Out ", 0) == 0) out = line.substr(4);
    const auto at = out.find("${HOME}");
    if (at != std::string::npos) out.replace(at, 7, h);
    return out;
}

}  // namespace

PdfQueue::PdfQueue() {
    lockFd_ = ::open("/tmp/quillet-cups-pdf-tests.lock", O_RDWR | O_CREAT, 0666);
    if (lockFd_ >= 0) ::flock(lockFd_, LOCK_EX);
    int st = -1;
    capture("lpstat -r 2>/dev/null", &st);
    if (st != 0) {
        unavailable_ = "cupsd is not running (scripts/start-printer.sh starts it)";
        return;
    }
    capture("lpstat -p PDF >/dev/null 2>&1", &st);
    if (st != 0) {
        unavailable_ = "no cups-pdf queue named PDF (scripts/start-printer.sh adds it)";
        return;
    }
    if (capture("lpstat -d 2>/dev/null").find(": PDF") == std::string::npos) {
        unavailable_ = "the cups-pdf queue PDF is not the default printer";
        return;
    }
    folder_ = cupsPdfFolder();
    seen_ = pdfs();
}

PdfQueue::~PdfQueue() {
    std::error_code ec;
    for (const fs::path& f : made_) fs::remove(f, ec);
    if (lockFd_ >= 0) ::close(lockFd_);
}

std::set<fs::path> PdfQueue::pdfs() const {
    std::set<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder_, ec))
        if (e.path().extension() == ".pdf") out.insert(e.path());
    return out;
}

std::vector<fs::path> PdfQueue::waitForNew(std::size_t n, int seconds) {
    std::vector<fs::path> added;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        added.clear();
        for (const fs::path& f : pdfs())
            if (!seen_.count(f)) added.push_back(f);
        const bool idle = capture("lpstat -o PDF 2>/dev/null").empty();
        if ((added.size() >= n && idle) || std::chrono::steady_clock::now() > end) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    // cups-pdf names them ...job_<id>...: order by modification time.
    std::sort(added.begin(), added.end(), [](const fs::path& a, const fs::path& b) {
        return fs::last_write_time(a) < fs::last_write_time(b);
    });
    for (const fs::path& f : added) {
        seen_.insert(f);
        made_.push_back(f);
    }
    return added;
}

std::vector<PdfImage> pdfImages(const fs::path& pdf) {
    std::vector<PdfImage> out;
    std::istringstream lines(capture("pdfimages -list " + shellQuote(pdf.string()) + " 2>/dev/null"));
    std::string line;
    int row = 0;
    while (std::getline(lines, line)) {
        if (row++ < 2) continue;  // the heading and its rule
        std::istringstream f(line);
        int page = 0, num = 0, comp = 0;
        PdfImage im;
        if (f >> page >> num >> im.type >> im.width >> im.height >> im.colour >> comp >> im.bitsPerComponent >>
            im.encoding)
            out.push_back(im);
    }
    return out;
}

imaging::Bitmap readPbm(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    in >> magic;
    auto number = [&] {
        int v = -1;
        while (in >> std::ws && in.peek() == '#') in.ignore(1 << 20, '\n');
        in >> v;
        return v;
    };
    const int w = number(), h = number();
    if (magic != "P4" || w <= 0 || h <= 0) return {};
    in.get();  // the single white-space byte before the data
    imaging::Bitmap b(w, h);
    const std::size_t rowBytes = std::size_t(w + 7) / 8;
    std::vector<unsigned char> row(rowBytes);
    for (int y = 0; y < h; ++y) {
        if (!in.read(reinterpret_cast<char*>(row.data()), std::streamsize(rowBytes))) return {};
        std::uint64_t* words = b.row(y);
        for (std::size_t i = 0; i < rowBytes; ++i)
            words[i / 8] |= std::uint64_t(row[i]) << (56 - 8 * (i % 8));
        const int tail = w % 64;
        if (tail) words[b.wordsPerRow() - 1] &= ~std::uint64_t(0) << (64 - tail);
    }
    return b;
}

imaging::Bitmap firstPdfImage(const fs::path& pdf) {
    const fs::path root = fs::temp_directory_path() / ("quillet-pdfimage-" + std::to_string(::getpid()));
    capture("pdfimages -f 1 -l 1 " + shellQuote(pdf.string()) + " " + shellQuote(root.string()) + " 2>/dev/null");
    const fs::path pbm = root.string() + "-000.pbm";
    imaging::Bitmap b = readPbm(pbm);
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(root.parent_path(), ec))
        if (e.path().filename().string().rfind(root.filename().string() + "-", 0) == 0) fs::remove(e.path(), ec);
    return b;
}

imaging::Bitmap renderPdfPage(const fs::path& pdf, int dpi) {
    const fs::path root = fs::temp_directory_path() / ("quillet-pdfpage-" + std::to_string(::getpid()));
    capture("pdftoppm -mono -r " + std::to_string(dpi) + " -f 1 -l 1 -singlefile " + shellQuote(pdf.string()) +
            " " + shellQuote(root.string()) + " 2>/dev/null");
    const fs::path pbm = root.string() + ".pbm";
    imaging::Bitmap b = readPbm(pbm);
    std::error_code ec;
    fs::remove(pbm, ec);
    return b;
}

}  // namespace quillet::testing
