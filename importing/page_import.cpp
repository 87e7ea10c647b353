#include "importing/page_import.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <new>

#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "importing/import_error.h"
#include "importing/page_numbering.h"
#include "importing/page_source.h"

namespace quillet::importing {

namespace {

std::string fileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The busy cursor for the length of the run.
class BusyCursor {
public:
    explicit BusyCursor(app::PlatformServices& platform) : platform_(platform) { platform_.setBusyCursor(true); }
    ~BusyCursor() { platform_.setBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    app::PlatformServices& platform_;
};

std::string pagesText(int n) { return std::to_string(n) + (n == 1 ? " page" : " pages"); }

}  // namespace

void PageImport::install() {
    form_.ImportPages1.onClick = [this] { ImportPages1Click(); };
}

void PageImport::say(const std::string& text) {
    form_.Panel1.setText(text);
    platform_.processPaintEvents();
}

void PageImport::ImportPages1Click() {
    result_ = {};
    app::OpenFileRequest request;
    request.directory = form_.directory();
    request.filter = kPageFileFilter;
    request.fileName.clear();
    const std::vector<std::string> files = platform_.openFiles(request);
    if (files.empty()) return;
    const std::optional<app::PageImportChoice> choice = platform_.choosePageImport(choice_);
    if (!choice) return;
    choice_ = *choice;
    try {
        run(files, *choice);
    } catch (const std::bad_alloc&) {
        app::reportError(platform_, "Out of memory");
    } catch (const std::exception& e) {
        app::reportError(platform_, e.what());
    }
}

// One run's progress: the names, what was written, what went wrong.
struct PageImport::Run {
    PageSettings settings;
    PageNumbering numbering;
    std::vector<std::string> problems;
    std::string first, last;  // the first and the last page written
    bool refused = false;     // the output directory refuses files: later pages would fail alike
};

void PageImport::run(const std::vector<std::string>& files, const app::PageImportChoice& choice) {
    // The output directory as a scan finds it.
    app::applyOutputDirectoryRule(form_);
    form_.OutputDirectory = app::cutRoot(form_.OutputDirectory);
    Run r{PageSettings{choice.dpi, Threshold{choice.automaticThreshold, choice.threshold}},
          PageNumbering(PageNaming{form_.OutputDirectory, form_.filename.text(), counter_.counterspinedit.value()}),
          {}, {}, {}, false};
    {
        BusyCursor busy(platform_);
        for (const std::string& file : files)
            if (!r.refused) importFile(file, r);
    }
    finish(r);
}

void PageImport::importFile(const std::string& file, Run& r) {
    std::unique_ptr<PageSource> source;
    try {
        source = openPageSource(file, r.settings);
    } catch (const ImportError& e) {
        r.problems.push_back(e.what());
        return;
    }
    const int pages = source->pageCount();
    for (int i = 0; i < pages && !r.refused; ++i) {
        say("Importing " + fileNameOf(file) + ", page " + std::to_string(i + 1) + " of " + std::to_string(pages) +
            " . . .");
        imaging::Bitmap page;
        try {
            page = source->page(i);
        } catch (const ImportError& e) {
            r.problems.push_back(e.what());
            continue;
        }
        WrittenPage written;
        try {
            written = r.numbering.write(page);
        } catch (const ImportError& e) {
            r.problems.push_back(e.what());
            r.refused = true;
            continue;
        }
        for (const std::string& passed : written.passedBy) r.problems.push_back(passedByText(passed));
        if (r.first.empty()) r.first = written.path;
        r.last = written.path;
        ++result_.written;
        counter_.counterspinedit.setValue(r.numbering.nextNumber());
    }
}

void PageImport::finish(const Run& r) {
    // The file list shows the new pages when it lists the output directory.
    if (result_.written > 0 && form_.UpdatefilelistafterOK1.checked() &&
        form_.directory().compare(0, form_.OutputDirectory.size(), form_.OutputDirectory) == 0)
        form_.FileListBox1.refill();

    result_.problems = int(r.problems.size());
    if (result_.written == 0) say("No pages imported.");
    else if (result_.written == 1) say("Saved to " + r.last);
    else say("Imported " + pagesText(result_.written) + ": saved to " + r.first + " .. " + fileNameOf(r.last));
    if (!r.problems.empty()) {
        std::string text = "Import Pages:";
        for (const std::string& p : r.problems) text += "\n" + p;
        app::showWarning(platform_, text);
    }
}

}  // namespace quillet::importing
