// quillet-batch import: every page of every FILE, in order, becomes a 1-bit
// BMP file named like scans (BASE + the counter in at least three digits +
// ".bmp") in the output directory, as File > Import Pages... does.
//
//   quillet-batch import [-o DIR] [--dpi N] [--render] [--threshold auto|local|0..255]
//                        [--clean [--no-deskew] [--no-borders] [--no-despeckle]]
//                        [--page-timeout S] [--name BASE] [--start N] FILE...
//
// Pages are read by page reader processes, as many as the processors and the
// memory allow, and written in order; each reader holds one page and this
// program the one it writes. A page that takes longer than the time limit is
// abandoned and reported; the others import. Existing files are never
// overwritten: a name that is taken is reported and passed by. Prints "Saved
// to PATH" per page (with --clean, then "NAME: " and what the clean-up did)
// and, at the end, the number of pages and the counter's
// next value. Exit status: 0 when every page was imported, 1 when a file or
// a page failed, 2 for bad arguments.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "app/output_directory.h"
#include "imaging/bitmap.h"
#include "importing/import_error.h"
#include "importing/page_numbering.h"
#include "importing/page_reader.h"
#include "importing/page_source.h"
#include "tools/batch/batch_commands.h"
#include "tools/batch/batch_setup.h"
#include "tools/batch/flag_table.h"

namespace quillet::batch {

namespace {

namespace fs = std::filesystem;
using importing::PageSettings;

const char* const kImportUsage =
    "usage: quillet-batch import [-o DIR] [--dpi N] [--render] [--threshold auto|local|0..255]\n"
    "                            [--clean [--no-deskew] [--no-borders] [--no-despeckle]]\n"
    "                            [--page-timeout S] [--name BASE] [--start N] FILE...\n"
    "Turns every page of every FILE (PDF, TIFF, PNG, JPEG) into a 1-bit BMP file named BASE + counter + .bmp.\n"
    "A scanned PDF page (one image covering the page) keeps the image's own pixels and resolution.\n"
    "  -o DIR                 output directory (default: the current one; made when missing)\n"
    "  --dpi N                resolution other PDF pages are rendered at (default 300)\n"
    "  --render               render every PDF page at --dpi, scanned ones too\n"
    "  --threshold auto|N     grey values up to N become black; auto: Otsu's level per page (default)\n"
    "  --threshold local      each pixel against the light around it (Sauvola), for uneven lighting\n"
    "  --clean                clean each page: straighten its skew, remove dark borders and specks\n"
    "  --no-deskew            with --clean: leave the skew as it is\n"
    "  --no-borders           with --clean: leave dark borders\n"
    "  --no-despeckle         with --clean: leave specks\n"
    "  --page-timeout S       abandon a page that takes longer than S seconds (default 60)\n"
    "  --name BASE            base file name (default page)\n"
    "  --start N              the counter of the first page (default 1)\n"
    "Existing files are never overwritten: their names are reported and passed by.\n"
    "Exit status: 0 all imported, 1 a file or page failed, 2 bad arguments.\n";

struct ImportArguments {
    std::string output = ".";
    PageSettings settings;
    long pageSeconds = importing::kDefaultPageSeconds;
    std::string name = "page";
    long start = 1;
    std::vector<std::string> files;
    bool noDeskew = false, noBorders = false, noDespeckle = false;
};

bool takeThreshold(const std::string& v, importing::Threshold& threshold) {
    long n = 0;
    if (v == "auto") threshold = {};
    else if (v == "local") threshold = {true, 127, true};
    else if (parseWholeNumber(v, 0, 255, n)) threshold = {false, int(n), false};
    else return false;
    return true;
}

std::vector<Flag> flags(ImportArguments& a) {
    return {
        textFlag("-o", "needs a directory", a.output),
        checkedFlag("--dpi", "takes a resolution of 10 to 2400",
                    [&a](const std::string& v) { return parseWholeNumber(v, 10, 2400, a.settings.dpi); }),
        switchFlag("--render", a.settings.render),
        checkedFlag("--page-timeout", "takes a number of seconds of 1 to 86400",
                    [&a](const std::string& v) { return parseWholeNumber(v, 1, 86400, a.pageSeconds); }),
        checkedFlag("--threshold", "takes auto, local or a level of 0 to 255",
                    [&a](const std::string& v) { return takeThreshold(v, a.settings.threshold); }),
        switchFlag("--clean", a.settings.clean),
        switchFlag("--no-deskew", a.noDeskew),
        switchFlag("--no-borders", a.noBorders),
        switchFlag("--no-despeckle", a.noDespeckle),
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
    if ((a.noDeskew || a.noBorders || a.noDespeckle) && !a.settings.clean)
        return "--no-deskew, --no-borders and --no-despeckle go with --clean";
    a.settings.cleanup.deskew = !a.noDeskew;
    a.settings.cleanup.borders = !a.noBorders;
    a.settings.cleanup.despeckle = !a.noDespeckle;
    return {};
}

void problem(const std::string& text) { std::fprintf(stderr, "quillet-batch: %s\n", text.c_str()); }

struct Task {
    std::string file;
    int page = 0;
};

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
    std::error_code ec;
    fs::create_directories(args.output, ec);
    if (!fs::is_directory(args.output, ec)) {
        problem(args.output + ": the output directory cannot be made");
        return 1;
    }
    const std::string directory = app::cutRoot(fs::absolute(args.output, ec).lexically_normal().string());
    const int seconds = int(args.pageSeconds);

    // Every file opened once, in order, to count its pages, while the other
    // readers start.
    bool failed = false;
    std::vector<Task> tasks;
    std::vector<importing::PageReader> readers;
    const int most = importing::pageReadersFor(std::numeric_limits<int>::max());
    for (int r = 0; r < most; ++r) {
        readers.emplace_back(args.settings, seconds);
        if (r > 0) readers.back().warmUp();
    }
    for (const std::string& file : args.files) {
        try {
            const importing::PageReader::Opened opened = readers[0].open(file);
            for (int p = 0; p < opened.pages; ++p) tasks.push_back({file, p});
            if (!opened.walkFault.empty()) {
                problem(file + ": " + opened.walkFault);
                failed = true;
            }
        } catch (const std::exception& e) {
            problem(e.what());
            failed = true;
        }
    }

    // Each reader reads one page at a time, ahead of the one being written;
    // those the pages leave idle stop.
    const int keep = std::min(importing::pageReadersFor(int(tasks.size())), int(readers.size()));
    while (int(readers.size()) > keep) readers.pop_back();
    std::vector<std::size_t> readerOf(tasks.size());
    std::size_t next = 0;
    auto keepReadersBusy = [&] {
        for (std::size_t r = 0; r < readers.size() && next < tasks.size(); ++r) {
            if (readers[r].asked()) continue;
            readers[r].ask(tasks[next].file, tasks[next].page);
            readerOf[next++] = r;
        }
    };

    importing::PageNumbering numbering(importing::PageNaming{directory, args.name, int(args.start)});
    int written = 0;
    for (std::size_t k = 0; k < tasks.size(); ++k) {
        keepReadersBusy();
        importing::ImportedPage page;
        try {
            page = readers[readerOf[k]].take();
        } catch (const std::exception& e) {
            problem(e.what());
            failed = true;
            continue;
        }
        keepReadersBusy();
        try {
            const importing::WrittenPage w = numbering.write(page.bitmap);
            for (const std::string& passed : w.passedBy) problem(importing::passedByText(passed));
            std::printf("Saved to %s\n", w.path.c_str());
            if (!page.cleaned.empty())
                std::printf("%s: %s\n", fs::path(w.path).filename().c_str(), page.cleaned.c_str());
            std::fflush(stdout);
            ++written;
        } catch (const std::exception& e) {
            problem(e.what());
            failed = true;
            break;  // the output directory refuses files
        }
    }
    std::printf("Imported %d page%s; the counter is now %d.\n", written, written == 1 ? "" : "s",
                numbering.nextNumber());
    return failed ? 1 : 0;
}

}  // namespace quillet::batch
