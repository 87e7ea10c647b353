#include "importing/page_worker.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <memory>
#include <new>

#include "importing/import_error.h"
#include "importing/imported_page.h"
#include "importing/worker_messages.h"

namespace quillet::importing {

namespace {

// The clean-up's switches, each with the step it turns off.
struct CleanupSwitch {
    const char* name;
    bool cleanup::CleanupSettings::*step;
};
constexpr CleanupSwitch kCleanupSwitches[] = {{"--no-deskew", &cleanup::CleanupSettings::deskew},
                                              {"--no-borders", &cleanup::CleanupSettings::borders},
                                              {"--no-despeckle", &cleanup::CleanupSettings::despeckle}};

std::string thresholdArgument(const Threshold& t) {
    return t.local ? "local" : t.automatic ? "auto" : std::to_string(t.level);
}

// Throws std::invalid_argument for a level that is no number.
Threshold thresholdFrom(const std::string& v) {
    if (v == "auto") return {};
    if (v == "local") return {true, 127, true};
    return {false, std::stoi(v), false};
}

}  // namespace

std::vector<std::string> workerArguments(const PageSettings& settings) {
    std::vector<std::string> a{"--dpi", std::to_string(settings.dpi), "--threshold",
                               thresholdArgument(settings.threshold)};
    if (settings.render) a.push_back("--render");
    if (settings.clean) a.push_back("--clean");
    for (const CleanupSwitch& s : kCleanupSwitches)
        if (!(settings.cleanup.*s.step)) a.push_back(s.name);
    return a;
}

bool parseWorkerArguments(const std::vector<std::string>& arguments, PageSettings& settings) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool valued = a == "--dpi" || a == "--threshold";
        if (valued && i + 1 >= arguments.size()) return false;
        const auto step = std::find_if(std::begin(kCleanupSwitches), std::end(kCleanupSwitches),
                                       [&a](const CleanupSwitch& s) { return a == s.name; });
        try {
            if (a == "--dpi") settings.dpi = std::stoi(arguments[++i]);
            else if (a == "--threshold") settings.threshold = thresholdFrom(arguments[++i]);
            else if (a == "--render") settings.render = true;
            else if (a == "--clean") settings.clean = true;
            else if (step != std::end(kCleanupSwitches)) settings.cleanup.*step->step = false;
            else return false;
        } catch (const std::exception&) {
            return false;
        }
    }
    return true;
}

int servePages(int fd, const PageSettings& settings) {
    std::unique_ptr<PageSource> source;
    WorkerQuestion q;
    while (receiveQuestion(fd, q)) {
        WorkerAnswer a;
        try {
            if (q.kind == WorkerQuestion::Open || !source || source->path() != q.file) {
                source.reset();
                source = openPageSource(q.file, settings);
            }
            if (q.kind == WorkerQuestion::Open) {
                a.kind = WorkerAnswer::Opened;
                a.pages = source->pageCount();
                a.text = source->walkFault();
            } else {
                ImportedPage page = importedPage(*source, q.page, settings);
                a.bitmap = std::move(page.bitmap);
                a.text = std::move(page.cleaned);
                a.kind = WorkerAnswer::PageRead;
            }
        } catch (const std::bad_alloc&) {
            a = {};
            a.text = q.file + ": " + (q.kind == WorkerQuestion::Open ? "" : pageLabel(q.page) + " ") +
                     "cannot be read (not enough memory)";
        } catch (const std::exception& e) {
            a = {};
            a.text = e.what();
        }
        if (!sendAnswer(fd, a)) return 1;
    }
    return 0;
}

}  // namespace quillet::importing
