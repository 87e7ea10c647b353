#include "support/pdf_queue.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

namespace {

constexpr const char* kQueuePrefix = "quillet-test-";

// Removes the queues that test runs which are gone left behind.
void removeQueuesOfGoneRuns() {
    std::istringstream lines(capture("lpstat -p 2>/dev/null"));
    std::string word, name;
    while (lines >> word) {
        if (word != "printer" || !(lines >> name) || name.rfind(kQueuePrefix, 0) != 0) continue;
        const long pid = std::atol(name.c_str() + std::strlen(kQueuePrefix));
        if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            capture("lpadmin -x " + shellQuote(name) + " 2>/dev/null");
    }
}

}  // namespace

PdfQueue::PdfQueue() {
    int st = -1;
    capture("lpstat -r 2>/dev/null", &st);
    if (st != 0) {
        unavailable_ = "cupsd is not running (scripts/start-printer.sh starts it)";
        return;
    }
    removeQueuesOfGoneRuns();
    static int serial = 0;
    name_ = kQueuePrefix + std::to_string(::getpid()) + "-" + std::to_string(++serial);
    capture("lpadmin -p " + shellQuote(name_) + " -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>&1", &st);
    if (st != 0) {
        unavailable_ = "no cups-pdf queue can be added (cups-pdf missing, or not allowed to run lpadmin)";
        name_.clear();
        return;
    }
    folder_ = cupsPdfFolder();
}

PdfQueue::~PdfQueue() {
    if (name_.empty()) return;
    capture("cancel -a " + shellQuote(name_) + " 2>/dev/null; lpadmin -x " + shellQuote(name_) + " 2>/dev/null");
    std::error_code ec;
    for (const fs::path& f : made_) fs::remove(f, ec);
}

bool PdfQueue::refuseJobs() {
    int st = -1;
    capture("cupsreject " + shellQuote(name_) + " 2>&1", &st);
    return st == 0;
}

std::vector<int> PdfQueue::jobs() const {
    // Lines "<queue>-<id> <user> <size> <date>".
    std::vector<int> ids;
    std::istringstream lines(capture("lpstat -W all -o " + shellQuote(name_) + " 2>/dev/null"));
    std::string line;
    while (std::getline(lines, line)) {
        const std::string job = line.substr(0, line.find(' '));
        if (job.rfind(name_ + "-", 0) == 0) ids.push_back(std::atoi(job.c_str() + name_.size() + 1));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

fs::path PdfQueue::pdfOfJob(int id) const {
    // cups-pdf names a job's file "<title>-job_<id>.pdf".
    const std::string mark = "job_" + std::to_string(id) + ".pdf";
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder_, ec)) {
        const std::string name = e.path().filename().string();
        if (name.size() >= mark.size() && name.compare(name.size() - mark.size(), mark.size(), mark) == 0 &&
            (name.size() == mark.size() || !std::isdigit(static_cast<unsigned char>(name[name.size() - mark.size() - 1]))))
            return e.path();
    }
    return {};
}

std::vector<fs::path> PdfQueue::waitForNew(std::size_t n, int seconds) {
    std::vector<std::pair<int, fs::path>> found;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        found.clear();
        const bool idle = capture("lpstat -W not-completed -o " + shellQuote(name_) + " 2>/dev/null").empty();
        for (const int id : jobs()) {
            if (returned_.count(id)) continue;
            const fs::path pdf = pdfOfJob(id);
            if (!pdf.empty()) found.emplace_back(id, pdf);
        }
        if ((found.size() >= n && idle) || std::chrono::steady_clock::now() > end) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    std::vector<fs::path> pdfs;
    for (const auto& [id, pdf] : found) {
        returned_.insert(id);
        made_.push_back(pdf);
        pdfs.push_back(pdf);
    }
    return pdfs;
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
