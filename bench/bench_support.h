#pragma once
// What the benchmark programs share: timing, shell quoting, `cat` over a set
// of files as the floor of reading them, generated sample pages and desktop
// services that answer every question at once. Header-only: every
// bench/*.cpp is a program of its own.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <string>
#include <vector>

#include "app/platform_services.h"
#include "base/temp_dir.h"
#include "imaging/bmp_file.h"
#include "imaging/sample_page.h"

namespace quillet::bench {

using Clock = std::chrono::steady_clock;

// Seconds from a to b.
inline double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// Milliseconds from a to b.
inline double millis(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Milliseconds from t0 to now.
inline double msSince(Clock::time_point t0) { return millis(t0, Clock::now()); }

// The best (shortest) of `runs` timings of f(), in seconds.
template <class F>
double best(int runs, F f) {
    double t = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto a = Clock::now();
        f();
        t = std::min(t, seconds(a, Clock::now()));
    }
    return t;
}

// `s` as one single-quoted word for /bin/sh.
inline std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Best of `runs` timings of `cat` reading every file to /dev/null, after one
// untimed run that warms the page cache. `status` collects the exit statuses
// (nonzero when any run reported an error).
inline double catSeconds(const std::vector<std::string>& files, int runs, int& status) {
    std::string command = "cat";
    for (const auto& f : files) command += " " + shellQuote(f);
    command += " > /dev/null";
    status |= std::system(command.c_str());
    return best(runs, [&] { status |= std::system(command.c_str()); });
}

// Writes `pages` A4 300-dpi sample pages, seeds 1..pages, named by
// `nameFormat` (a printf format taking the page number) into `dir`, which is
// made when missing. Returns their paths in page order. Throws what the
// file system or the BMP writer throws.
inline std::vector<std::string> writeSamplePages(const std::filesystem::path& dir, int pages,
                                                 const char* nameFormat = "page%03d.bmp") {
    std::filesystem::create_directories(dir);
    std::vector<std::string> files;
    for (int p = 1; p <= pages; ++p) {
        imaging::SamplePageOptions o;
        o.seed = std::uint64_t(p);
        char name[32];
        std::snprintf(name, sizeof name, nameFormat, p);
        files.push_back((dir / name).string());
        imaging::saveBmp(imaging::makeSamplePage(o), files.back());
    }
    return files;
}

// The scratch directory of the benchmarks (path() is empty when it could
// not be made).
using WorkDir = base::TempDir;

// Desktop services reduced to nothing: a message box answers with its first
// button (logging the text to stderr under `logName` when set), dialogs are
// cancelled, beeps, cursors and repaints cost no more than a call.
class QuietPlatform : public app::PlatformServices {
public:
    app::Button messageBox(const app::MessageBoxRequest& r) override {
        if (logName) std::fprintf(stderr, "%s: message: %s\n", logName, r.text.c_str());
        return r.buttons.empty() ? app::Button::Ok : r.buttons.front();
    }
    std::optional<std::string> openFile(const app::OpenFileRequest&) override { return {}; }
    std::vector<std::string> openFiles(const app::OpenFileRequest&) override { return {}; }
    std::optional<app::PageImportChoice> choosePageImport(const app::PageImportChoice&) override { return {}; }
    std::optional<app::CleanUpChoice> chooseCleanUp(const app::CleanUpChoice&) override { return {}; }
    app::DirectoryPickerResult pickDirectory(const std::string&) override { return {}; }
    std::optional<app::FontChoice> chooseFont(const app::FontChoice&) override { return {}; }
    std::optional<app::PrinterGeometry> printerGeometry() override {
        return app::PrinterGeometry{203, 289, 4794, 6826};
    }
    void printerSetup() override {}
    bool printPage(const imaging::Bitmap&, imaging::Size) override { return true; }
    void beep() override {}
    void setBusyCursor(bool) override {}
    void processPaintEvents() override {}
    imaging::Size screenSize() override { return screen; }
    bool openWithAssociatedProgram(const std::string&) override { return opensFiles; }
    std::string privateTempDirectory() override { return tempDir; }

    const char* logName = nullptr;     // program name for logged messages; none: silent
    imaging::Size screen{1024, 768};   // the screen size reported
    bool opensFiles = false;           // what opening with the associated program answers
    std::string tempDir = "/tmp";      // the private temporary directory
};

}  // namespace quillet::bench
