// quillet-batch clean: scanned 1-bit pages cleaned before the lock (skew
// straightened, dark borders and specks removed) into another directory,
// under the same names, as File > Clean Up Pages... does.
//
//   quillet-batch clean [-C DIR] -o OUT [--no-deskew] [--no-borders]
//                       [--no-despeckle] [FILE...]
//
// FILEs are pages of DIR (a path of their own is taken as it is); without
// any, every *.bmp that DIR lists. OUT is made when missing and may not be
// DIR, nor the directory of any FILE: the originals are never overwritten.
// Pages are cleaned on every processor at once, a few at a time, and
// reported in order: "NAME: skew ..., what was removed" per page, then the
// count. Each page is written whole or not at all, with its resolution.
// Exit status: 0 every page cleaned, 1 a page failed (the others are still
// written), 2 bad arguments.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/file_list.h"
#include "base/ordered_work.h"
#include "cleanup/clean_file.h"
#include "tools/batch/batch_commands.h"
#include "tools/batch/flag_table.h"

namespace quillet::batch {

namespace {

namespace fs = std::filesystem;

const char* const kCleanUsage =
    "usage: quillet-batch clean [-C DIR] -o OUT [--no-deskew] [--no-borders] [--no-despeckle] [FILE...]\n"
    "Cleans scanned 1-bit pages into OUT under the same names: straightens skewed pages, removes dark\n"
    "borders (scanner shadows, the gutter, a page edge, punched holes) and specks of dust.\n"
    "  -C DIR          the pages' directory (default: the current one)\n"
    "  -o OUT          where the cleaned pages go (made when missing; never DIR)\n"
    "  --no-deskew     leave the skew as it is\n"
    "  --no-borders    leave dark borders\n"
    "  --no-despeckle  leave specks\n"
    "  FILE...         the pages to clean (default: every *.bmp of DIR)\n"
    "Prints one line per page: the skew found and what was removed.\n"
    "Exit status: 0 every page cleaned, 1 a page failed (the others are written), 2 bad arguments.\n";

struct CleanArguments {
    std::string directory = ".";
    std::string output;
    bool noDeskew = false, noBorders = false, noDespeckle = false;
    std::vector<std::string> files;
};

std::vector<Flag> flags(CleanArguments& a) {
    return {textFlag("-C", "needs a directory", a.directory), textFlag("-o", "needs a directory", a.output),
            switchFlag("--no-deskew", a.noDeskew), switchFlag("--no-borders", a.noBorders),
            switchFlag("--no-despeckle", a.noDespeckle)};
}

std::string parse(int argc, char** argv, CleanArguments& a, bool& help) {
    FlagRules rules;
    rules.first = 2;
    const FlagWalk walk = walkFlags(argc, argv, flags(a), rules);
    help = walk.help;
    a.files = walk.positional;
    if (!walk.error.empty()) return walk.error;
    if (a.output.empty() && !help) return "clean needs an output directory (-o OUT)";
    return {};
}

void problem(const std::string& text) { std::fprintf(stderr, "quillet-batch clean: %s\n", text.c_str()); }

// The pages to clean: the FILEs in DIR, or every bitmap DIR lists.
std::vector<fs::path> pagesOf(const CleanArguments& a) {
    std::vector<fs::path> pages;
    if (!a.files.empty()) {
        for (const std::string& f : a.files) pages.push_back(fs::path(a.directory) / f);
        return pages;
    }
    app::FileList list;
    list.setDirectory(a.directory);
    for (const std::string& name : list.entries()) pages.push_back(fs::path(list.pathOf(name)));
    return pages;
}

// Why cleaning the pages into OUT would be wrong, or empty.
std::string refusal(const CleanArguments& a, const std::vector<fs::path>& pages) {
    if (cleanup::sameFolder(a.directory, a.output))
        return "the output directory " + a.output + " is the pages' own: choose another";
    std::set<std::string> names;
    for (const fs::path& p : pages) {
        if (cleanup::sameFolder(p.parent_path().string(), a.output))
            return p.string() + " is in the output directory: it would be overwritten";
        if (!names.insert(p.filename().string()).second)
            return "two pages are named " + p.filename().string() + ": the second would overwrite the first";
    }
    return {};
}

struct Outcome {
    std::string line;   // the report, or the failure
    bool failed = false;
};

}  // namespace

std::vector<std::string> cleanOptions() {
    CleanArguments a;
    return optionNames(flags(a));
}

int cleanMain(int argc, char** argv) {
    CleanArguments args;
    bool help = false;
    const std::string bad = parse(argc, argv, args, help);
    if (help) {
        std::fputs(kCleanUsage, stdout);
        return 0;
    }
    if (!bad.empty()) {
        problem(bad);
        std::fputs(kCleanUsage, stderr);
        return 2;
    }
    std::error_code ec;
    if (!fs::is_directory(args.directory, ec)) {
        problem(args.directory + " is not a directory");
        return 2;
    }
    const std::vector<fs::path> pages = pagesOf(args);
    if (pages.empty()) {
        problem(args.directory + " holds no *.bmp pages to clean");
        return 1;
    }
    if (const std::string why = refusal(args, pages); !why.empty()) {
        problem(why);
        return 2;
    }
    const fs::path out = fs::absolute(args.output, ec).lexically_normal();
    fs::create_directories(out, ec);
    if (!fs::is_directory(out, ec)) {
        problem(args.output + ": the output directory cannot be made");
        return 1;
    }

    cleanup::CleanupSettings settings;
    settings.deskew = !args.noDeskew;
    settings.borders = !args.noBorders;
    settings.despeckle = !args.noDespeckle;
    std::vector<std::int64_t> weights;
    for (const fs::path& p : pages) weights.push_back(cleanup::pagePixels(p.string()));
    const int threads = int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    int cleaned = 0;
    base::runInOrder<Outcome>(
        weights, threads, cleanup::kMaxCleanedPixels,
        [&](std::size_t i) {
            try {
                const std::string name = pages[i].filename().string();
                return Outcome{name + ": " +
                                   cleanup::cleanFile(pages[i].string(), (out / name).string(), settings).summary(),
                               false};
            } catch (const std::exception& e) {  // CleanupError names the page
                return Outcome{e.what(), true};
            }
        },
        [&](std::size_t, Outcome& o) {
            if (o.failed) problem(o.line);
            else {
                std::printf("%s\n", o.line.c_str());
                std::fflush(stdout);
                ++cleaned;
            }
            return true;
        });
    std::printf("Cleaned %d of %zu page%s into %s\n", cleaned, pages.size(), pages.size() == 1 ? "" : "s",
                out.string().c_str());
    return cleaned == int(pages.size()) ? 0 : 1;
}

}  // namespace quillet::batch
