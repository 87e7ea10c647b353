#include "importing/page_import.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <new>
#include <unordered_set>

#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "base/counted.h"
#include "cleanup/clean_page.h"
#include "importing/import_error.h"
#include "importing/page_numbering.h"
#include "importing/page_reader.h"
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
    // The dialog offers the output directory and the scan counter; the
    // resolution and threshold are those of the last run.
    app::applyOutputDirectoryRule(form_);
    app::PageImportChoice offer = choice_;
    offer.directory = app::restoreRoot(app::cutRoot(form_.OutputDirectory));
    offer.firstNumber = counter_.counterspinedit.value();
    const std::optional<app::PageImportChoice> choice = platform_.choosePageImport(offer);
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
    PageReader reader;
    PageNumbering numbering;
    std::vector<std::string> problems;
    std::vector<std::string> written;  // the pages' paths, in order
    bool refused = false;              // the destination refuses files: later pages would fail alike
};

void PageImport::run(const std::vector<std::string>& files, const app::PageImportChoice& choice) {
    const std::string destination = app::cutRoot(choice.directory);
    std::error_code ec;
    std::filesystem::create_directories(app::restoreRoot(destination), ec);
    if (!std::filesystem::is_directory(app::restoreRoot(destination), ec)) {
        app::showWarning(platform_, "Import Pages:\n" + app::restoreRoot(destination) +
                                        ": the folder cannot be made (" + ec.message() + ")");
        return;
    }
    PageSettings settings;
    settings.dpi = choice.dpi;
    settings.threshold = Threshold{choice.automaticThreshold, choice.threshold, choice.localThreshold};
    settings.clean = choice.clean;
    settings.cleanup.deskew = choice.deskew;
    settings.cleanup.borders = choice.borders;
    settings.cleanup.despeckle = choice.despeckle;
    Run r{PageReader(settings, kDefaultPageSeconds),
          PageNumbering(PageNaming{destination, form_.filename.text(), choice.firstNumber}), {}, {}, false};
    {
        BusyCursor busy(platform_);
        for (const std::string& file : files)
            if (!r.refused) importFile(file, r);
    }
    finish(r, destination);
}

void PageImport::importFile(const std::string& file, Run& r) {
    PageReader::Opened opened;
    try {
        opened = r.reader.open(file);
    } catch (const ImportError& e) {
        r.problems.push_back(e.what());
        return;
    }
    if (!opened.walkFault.empty()) r.problems.push_back(file + ": " + opened.walkFault);
    for (int i = 0; i < opened.pages && !r.refused; ++i) {
        say("Importing " + fileNameOf(file) + ", page " + std::to_string(i + 1) + " of " +
            std::to_string(opened.pages) + " . . .");
        ImportedPage page;
        try {
            r.reader.ask(file, i);
            page = r.reader.take();
        } catch (const ImportError& e) {
            r.problems.push_back(e.what());
            continue;
        }
        WrittenPage written;
        try {
            written = r.numbering.write(page.bitmap);
        } catch (const ImportError& e) {
            r.problems.push_back(e.what());
            r.refused = true;
            continue;
        }
        for (const std::string& passed : written.passedBy) r.problems.push_back(passedByText(passed));
        if (page.cleaned.rfind(cleanup::kNotCleaned, 0) == 0)
            r.problems.push_back(fileNameOf(written.path) + ": " + page.cleaned);
        r.written.push_back(written.path);
        ++result_.written;
        counter_.counterspinedit.setValue(r.numbering.nextNumber());
    }
}

void PageImport::finish(const Run& r, const std::string& destination) {
    // The file list shows the destination with the new pages selected.
    if (!r.written.empty()) {
        if (form_.directory() == app::restoreRoot(destination)) form_.FileListBox1.refill();
        else form_.changeDirectory(app::restoreRoot(destination));
        std::unordered_set<std::string> names;
        for (const std::string& path : r.written) names.insert(fileNameOf(path));
        app::FileList& list = form_.FileListBox1;
        for (int i = 0; i < list.count(); ++i) list.setSelected(i, names.count(list.entry(i)) > 0);
        list.viewChanged.emit();
    }

    result_.problems = int(r.problems.size());
    const int n = result_.written;
    if (n == 0) say("No pages imported.");
    else if (n == 1) say("Saved to " + r.written.back());
    else
        say("Imported " + base::counted(n, "page", "pages") + ": saved to " + r.written.front() + " .. " +
            fileNameOf(r.written.back()));
    if (!r.problems.empty()) {
        std::string text = "Import Pages:";
        for (const std::string& p : r.problems) text += "\n" + p;
        app::showWarning(platform_, text);
    }
}

}  // namespace quillet::importing
