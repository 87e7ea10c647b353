// quillet-batch import: every page of every FILE, in order, becomes a 1-bit
// BMP file named like scans (BASE + the counter in at least three digits +
// ".bmp") in the output directory, as File > Import Pages... does.
//
//   quillet-batch import [-o DIR] [--dpi N] [--threshold auto|0..255]
//                        [--name BASE] [--start N] FILE...
//
// Pages are rendered on every processor at once and written in order; only a
// few pages are held at any time. Existing files are never overwritten: a
// name that is taken is reported and passed by. Prints "Saved to PATH" per
// page and, at the end, the number of pages and the counter's next value.
// Exit status: 0 when every page was imported, 1 when a file or a page
// failed, 2 for bad arguments.

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "app/output_directory.h"
#include "imaging/bitmap.h"
#include "importing/import_error.h"
#include "importing/page_numbering.h"
#include "importing/page_source.h"
#include "tools/batch/batch_commands.h"
#include "tools/batch/batch_setup.h"
#include "tools/batch/flag_table.h"

// Qt last: its "emit" macro must not meet the models' emit().
#include <QString>
#include <QtGlobal>

namespace quillet::batch {

namespace {

namespace fs = std::filesystem;
using importing::PageSettings;

const char* const kImportUsage =
    "usage: quillet-batch import [-o DIR] [--dpi N] [--threshold auto|0..255] [--name BASE] [--start N] FILE...\n"
    "Turns every page of every FILE (PDF, TIFF, PNG, JPEG) into a 1-bit BMP file named BASE + counter + .bmp.\n"
    "  -o DIR                 output directory (default: the current one; made when missing)\n"
    "  --dpi N                resolution PDF pages are rendered at (default 300)\n"
    "  --threshold auto|N     grey values up to N become black; auto: Otsu's level per page (default)\n"
    "  --name BASE            base file name (default page)\n"
    "  --start N              the counter of the first page (default 1)\n"
    "Existing files are never overwritten: their names are reported and passed by.\n"
    "Exit status: 0 all imported, 1 a file or page failed, 2 bad arguments.\n";

struct ImportArguments {
    std::string output = ".";
    PageSettings settings;
    std::string name = "page";
    long start = 1;
    std::vector<std::string> files;
};

bool takeThreshold(const std::string& v, importing::Threshold& threshold) {
    long n = 0;
    if (v == "auto") threshold.automatic = true;
    else if (parseWholeNumber(v, 0, 255, n)) threshold = {false, int(n)};
    else return false;
    return true;
}

std::vector<Flag> flags(ImportArguments& a) {
    return {
        textFlag("-o", "needs a directory", a.output),
        checkedFlag("--dpi", "takes a resolution of 10 to 2400",
                    [&a](const std::string& v) { return parseWholeNumber(v, 10, 2400, a.settings.dpi); }),
        checkedFlag("--threshold", "takes auto or a level of 0 to 255",
                    [&a](const std::string& v) { return takeThreshold(v, a.settings.threshold); }),
        checkedFlag("--name", "takes a base file name without '/'",
                    [&a](const std::string& v) {
                        if (v.empty() || v.find('/') != std::string::npos) return false;
                        a.name = v;
                        return true;
                    }),
        checkedFlag("--start", "takes a counter of 1 to 999999",
                    [&a](const std::string& v) { return parseWholeNumber(v, 1, 999999, a.start); }),
    };
}

// Empty on success, else why the arguments are bad. A lone "-" is a file
// name here.
std::string parseImport(int argc, char** argv, ImportArguments& a, bool& help) {
    FlagRules rules;
    rules.first = 2;
    rules.dashAlone = true;
    FlagWalk walk = walkFlags(argc, argv, flags(a), rules);
    help = walk.help;
    a.files = std::move(walk.positional);
    if (!walk.error.empty()) return walk.error;
    if (a.files.empty() && !help) return "import needs at least one FILE";
    return {};
}

// The image readers' own diagnostics (libtiff's complaints about a cut file)
// say less than the message naming the file: dropped.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "qt: %s\n", text.toLocal8Bit().constData());
}

void problem(const std::string& text) { std::fprintf(stderr, "quillet-batch: %s\n", text.c_str()); }

struct Task {
    std::string file;
    int page = 0;
};

// A rendered page or why it could not be.
using Rendered = std::variant<imaging::Bitmap, std::string>;

// Renders the tasks on `threads` threads, at most `window` pages ahead of
// the one being written, and hands them to `write` in task order on the
// calling thread. `write` returns false to stop the run.
template <class Write>
void renderInOrder(const std::vector<Task>& tasks, const PageSettings& settings, int threads, Write write) {
    const std::size_t window = std::size_t(threads) + 1;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t taken = 0, done = 0;  // tasks handed out; tasks written
    bool stop = false;
    std::map<std::size_t, Rendered> ready;

    auto worker = [&] {
        std::string openFile;
        std::unique_ptr<importing::PageSource> source;
        for (;;) {
            std::size_t k;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || taken >= tasks.size() || taken < done + window; });
                if (stop || taken >= tasks.size()) return;
                k = taken++;
            }
            Rendered result;
            try {
                if (!source || openFile != tasks[k].file) {
                    source.reset();
                    openFile = tasks[k].file;
                    source = importing::openPageSource(openFile, settings);
                }
                result = source->page(tasks[k].page);
            } catch (const std::bad_alloc&) {
                result = tasks[k].file + ": " + importing::pageLabel(tasks[k].page) + ": not enough memory";
            } catch (const std::exception& e) {
                result = std::string(e.what());
            }
            {
                std::lock_guard lock(mutex);
                ready.emplace(k, std::move(result));
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) pool.emplace_back(worker);

    for (std::size_t k = 0; k < tasks.size(); ++k) {
        Rendered page;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return ready.count(k) > 0; });
            page = std::move(ready.at(k));
            ready.erase(k);
        }
        const bool more = write(page);
        {
            std::lock_guard lock(mutex);
            done = k + 1;
            stop = !more;
        }
        changed.notify_all();
        if (!more) break;
    }
    for (std::thread& t : pool) t.join();
}

}  // namespace

std::vector<std::string> importOptions() {
    ImportArguments a;
    return optionNames(flags(a));
}

int importMain(int argc, char** argv) {
    ImportArguments args;
    bool help = false;
    const std::string bad = parseImport(argc, argv, args, help);
    if (help) {
        std::fputs(kImportUsage, stdout);
        return 0;
    }
    if (!bad.empty()) {
        problem(bad);
        std::fputs(kImportUsage, stderr);
        return 2;
    }
    qInstallMessageHandler(quietQt);
    std::error_code ec;
    fs::create_directories(args.output, ec);
    if (!fs::is_directory(args.output, ec)) {
        problem(args.output + ": the output directory cannot be made");
        return 1;
    }
    const std::string directory = app::cutRoot(fs::absolute(args.output, ec).lexically_normal().string());

    // Every file opened once, in order, to count its pages.
    bool failed = false;
    std::vector<Task> tasks;
    for (const std::string& file : args.files) {
        try {
            const int pages = importing::openPageSource(file, args.settings)->pageCount();
            for (int p = 0; p < pages; ++p) tasks.push_back({file, p});
        } catch (const std::exception& e) {
            problem(e.what());
            failed = true;
        }
    }

    importing::PageNumbering numbering(importing::PageNaming{directory, args.name, int(args.start)});
    int written = 0;
    const int threads = int(std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, std::max<std::size_t>(tasks.size(), 1)));
    renderInOrder(tasks, args.settings, std::min(threads, 8), [&](Rendered& page) {
        if (const std::string* why = std::get_if<std::string>(&page)) {
            problem(*why);
            failed = true;
            return true;
        }
        try {
            const importing::WrittenPage w = numbering.write(std::get<imaging::Bitmap>(page));
            for (const std::string& passed : w.passedBy) problem(importing::passedByText(passed));
            std::printf("Saved to %s\n", w.path.c_str());
            ++written;
            return true;
        } catch (const std::exception& e) {
            problem(e.what());
            failed = true;
            return false;  // the output directory refuses files
        }
    });
    std::printf("Imported %d page%s; the counter is now %d.\n", written, written == 1 ? "" : "s",
                numbering.nextNumber());
    return failed ? 1 : 0;
}

}  // namespace quillet::batch
