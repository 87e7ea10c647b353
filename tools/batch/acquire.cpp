// quillet-batch acquire: scripted scans through the scanner layer, saved by
// the same rules as the Acquire command (base name + counter, a fresh name of
// the scan's own renamed onto the target, nothing past the counter's 300).
//
//   quillet-batch acquire [OPTION...]
//
//   --list-devices       print the devices (name, vendor, model, type) and end
//   --device NAME        the device (default: the first one found)
//   --mode lineart|gray|color   (default lineart)
//   --resolution N       dots per inch (default 300, or the nearest offered)
//   --source NAME        "Flatbed", "Automatic Document Feeder", ...
//   --option NAME=VALUE  any other setting of the device, as scanimage takes
//                        them without the leading "--" (applied in order, last)
//   --pages N            pages to scan (default: until the feeder is empty,
//                        or 1 from any other source)
//   --start N            the counter of the first page, 1..300 (default 1)
//   -o DIR               the output directory (default: the current one)
//   --name BASE          the base file name (default page)
//   --clean              line-art pages cleaned as they are saved (skew
//                        straightened, dark borders and specks removed)
//   -h, --help           the usage text
//
// Output: "Saved to FILE" per page (with --clean, then "NAME: " and what the
// clean-up did); a progress bar on standard error when it
// is a terminal. Exit status: 0 when every page was saved, 1 after a
// failure, 2 for bad arguments.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "acquire/acquisition.h"
#include "acquire/page_reader.h"
#include "acquire/scan_cleanup.h"
#include "acquire/sane_device.h"
#include "acquire/scan_file.h"
#include "acquire/scan_settings.h"
#include "acquire/scanner_error.h"
#include "app/output_directory.h"
#include "tools/batch/batch_commands.h"
#include "tools/batch/batch_setup.h"
#include "tools/batch/flag_table.h"
#include "tools/batch/terminal_bar.h"

namespace quillet::batch {

namespace {

using namespace quillet::acquire;

struct AcquireArguments {
    bool listDevices = false;
    std::string device;
    std::optional<ScanMode> mode;
    std::optional<int> resolution;
    std::string source;
    std::vector<std::pair<std::string, std::string>> options;
    std::optional<int> pages;
    int start = 1;
    std::string directory = ".";
    std::string name = "page";
    bool clean = false;
};

std::string takeMode(const std::string& v, std::optional<ScanMode>& mode) {
    if (v == "lineart") mode = ScanMode::LineArt;
    else if (v == "gray" || v == "grey") mode = ScanMode::Grey;
    else if (v == "color" || v == "colour") mode = ScanMode::Colour;
    else return "--mode takes lineart, gray or color, not " + v;
    return {};
}

// A count of 1..hi into out (an int, or an optional one).
template <class Out>
Flag countFlag(const std::string& name, const std::string& why, long hi, Out& out) {
    return checkedFlag(name, why, [hi, &out](const std::string& v) {
        int n = 0;
        if (!parseWholeNumber(v, 1, hi, n)) return false;
        out = n;
        return true;
    });
}

bool takeOption(const std::string& v, std::vector<std::pair<std::string, std::string>>& options) {
    const auto eq = v.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    options.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    return true;
}

std::vector<Flag> flags(AcquireArguments& a) {
    return {
        switchFlag("--list-devices", a.listDevices),
        textFlag("--device", "needs a name", a.device),
        {"--mode", "needs lineart, gray or color", [&a](const std::string& v) { return takeMode(v, a.mode); }},
        countFlag("--resolution", "needs a number of dots per inch", 100000, a.resolution),
        textFlag("--source", "needs a name", a.source),
        checkedFlag("--option", "needs NAME=VALUE", [&a](const std::string& v) { return takeOption(v, a.options); }),
        countFlag("--pages", "needs a number from 1 to 300", kCounterMax, a.pages),
        countFlag("--start", "needs a number from 1 to 300", kCounterMax, a.start),
        textFlag("-o", "needs a directory", a.directory),
        checkedFlag("--name", "needs a file name without a directory",
                    [&a](const std::string& v) {
                        a.name = v;
                        return !v.empty() && v.find('/') == std::string::npos;
                    }),
        switchFlag("--clean", a.clean),
    };
}

// An empty string on success, else what is wrong. Everything after the word
// "acquire" is an option: the command takes no files.
std::string parse(int argc, char** argv, AcquireArguments& a, bool& help) {
    FlagRules rules;
    rules.first = 2;
    rules.positional = false;
    const FlagWalk walk = walkFlags(argc, argv, flags(a), rules);
    help = walk.help;
    return walk.error;
}

const char* const kAcquireUsage =
    "usage: quillet-batch acquire [OPTION...]\n"
    "Scans pages through SANE into 1-bit (or grey or colour) BMP files named BASE + counter.\n"
    "  --list-devices          print the devices (name, vendor, model, type) and end\n"
    "  --device NAME           the device (default: the first one found)\n"
    "  --mode lineart|gray|color   (default lineart)\n"
    "  --resolution N          dots per inch (default 300, or the nearest offered)\n"
    "  --source NAME           \"Flatbed\", \"Automatic Document Feeder\", ...\n"
    "  --option NAME=VALUE     any other setting of the device, as scanimage takes them\n"
    "  --pages N               pages to scan (default: until the feeder is empty, else 1)\n"
    "  --start N               the counter of the first page, 1..300 (default 1)\n"
    "  -o DIR                  the output directory (default: the current one)\n"
    "  --name BASE             the base file name (default page)\n"
    "  --clean                 clean line-art pages as they are saved (skew, dark borders, specks)\n"
    "  -h, --help              this text\n"
    "Exit status: 0 every page saved, 1 a failure, 2 bad arguments.\n";

class PageProgress {
public:
    explicit PageProgress(bool on) : bar_(on) {}
    void update(int page, double part) {
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        char label[32];
        std::snprintf(label, sizeof label, "page %-4d", page);
        bar_.draw(label, part < 0 ? 0 : int(part * 100));
    }
    void finish() { bar_.finish(); }

private:
    TerminalBar bar_;
    std::chrono::steady_clock::time_point last_{};
};

int fail(const std::string& text) {
    std::fprintf(stderr, "quillet-batch acquire: %s\n", text.c_str());
    return 1;
}

// Reads one page; nothing when the feeder is empty.
std::optional<NativeImage> readPage(SaneDevice& device, int number, PageProgress& progress) {
    const double dpi = device.numberValue("resolution").value_or(0);
    PageReader reader(device, device.numberValue("x-resolution").value_or(dpi),
                      device.numberValue("y-resolution").value_or(dpi));
    switch (reader.start()) {
    case PageReader::Start::NoDocuments: return std::nullopt;
    case PageReader::Start::Cancelled: throw ScannerError("The scan was cancelled at the scanner " + device.name());
    case PageReader::Start::Started: break;
    }
    while (!reader.step(std::chrono::milliseconds(100))) {
        progress.update(number, reader.progress());
        if (reader.idle()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    progress.finish();
    return reader.take();
}

int scan(const AcquireArguments& a) {
    std::string name = a.device;
    if (name.empty()) {
        const std::vector<DeviceInfo> devices = listDevices();
        if (devices.empty()) return fail(kNoScannerText);
        name = devices.front().name;
    }
    SaneDevice device(name);
    ScanSettings s = fitSettings(readChoices(device), device, ScanSettings{});
    if (a.mode) s.mode = *a.mode;
    if (a.resolution) s.resolution = *a.resolution;
    if (!a.source.empty()) s.source = a.source;
    applySettings(device, s);
    for (const auto& [option, value] : a.options) device.setFromText(option, value);

    const bool feeder = isFeeder(device.stringValue("source").value_or(""));
    const int pages = a.pages.value_or(feeder ? kCounterMax : 1);
    std::error_code ec;
    const std::string directory = app::cutRoot(std::filesystem::absolute(a.directory, ec).lexically_normal().string());
    PageProgress progress(::isatty(2) == 1);
    int counter = a.start;
    for (int saved = 0; saved < pages; ++saved) {
        std::optional<NativeImage> page = readPage(device, counter, progress);
        if (!page) {
            if (feeder && saved > 0 && !a.pages) return 0;
            return fail("The document feeder of " + name + " is empty after " + std::to_string(saved) + " pages");
        }
        const std::string cleaned = a.clean ? cleanScan(*page) : std::string();
        const std::string target = app::joinPath(directory, scanFileName(a.name, counter));
        saveScan([&](const std::string& path) { writeNativeImage(*page, path); }, app::restoreRoot(directory), target);
        std::printf("Saved to %s\n", target.c_str());
        if (!cleaned.empty()) std::printf("%s: %s\n", scanFileName(a.name, counter).c_str(), cleaned.c_str());
        std::fflush(stdout);
        if (counter >= kCounterMax) {
            if (saved + 1 == pages) return 0;
            std::fprintf(stderr, "quillet-batch acquire: %s\n", kCounterAtMaximumText);
            return a.pages ? 1 : 0;
        }
        ++counter;
    }
    return 0;
}

}  // namespace

std::vector<std::string> acquireOptions() {
    AcquireArguments a;
    return optionNames(flags(a));
}

int acquireMain(int argc, char** argv) {
    AcquireArguments a;
    bool help = false;
    const std::string bad = parse(argc, argv, a, help);
    if (help) {
        std::fputs(kAcquireUsage, stdout);
        return 0;
    }
    if (!bad.empty()) {
        std::fprintf(stderr, "quillet-batch acquire: %s\n", bad.c_str());
        return 2;
    }
    const SaneSession sane;  // stopped before the program's static objects go
    try {
        if (a.listDevices) {
            for (const DeviceInfo& d : listDevices())
                std::printf("%s\t%s\t%s\t%s\n", d.name.c_str(), d.vendor.c_str(), d.model.c_str(), d.type.c_str());
            return 0;
        }
        return scan(a);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}

}  // namespace quillet::batch
