#include "importing/page_worker.h"

#include <exception>
#include <memory>
#include <new>

#include "importing/import_error.h"
#include "importing/imported_page.h"
#include "importing/worker_messages.h"

namespace quillet::importing {

std::vector<std::string> workerArguments(const PageSettings& settings) {
    std::vector<std::string> a{"--dpi", std::to_string(settings.dpi), "--threshold",
                               settings.threshold.automatic ? "auto" : std::to_string(settings.threshold.level)};
    if (settings.render) a.push_back("--render");
    return a;
}

bool parseWorkerArguments(const std::vector<std::string>& arguments, PageSettings& settings) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool valued = a == "--dpi" || a == "--threshold";
        if (valued && i + 1 >= arguments.size()) return false;
        try {
            if (a == "--dpi") settings.dpi = std::stoi(arguments[++i]);
            else if (a == "--threshold" && arguments[i + 1] == "auto") settings.threshold.automatic = (++i, true);
            else if (a == "--threshold") settings.threshold = {false, std::stoi(arguments[++i])};
            else if (a == "--render") settings.render = true;
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
                a.bitmap = importedPage(*source, q.page, settings);
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
