#pragma once
// File > Import Pages...: the pages of scanned PDF, TIFF, PNG and JPEG files
// become 1-bit BMP files named like scans (the base file name and a counter).
//
// The command asks for the files (several at once), then shows the dialog
// with the destination folder (the output directory to begin with) and the
// first number (the scan counter), the resolution and the threshold. It
// imports every page of every file in order, one page reader process at a
// time (page_reader.h), with a progress text per page; the scan counter
// follows the numbers used. A file that cannot be imported, a page that
// cannot be read or takes too long, and every existing file whose name was
// passed by are listed in one warning at the end; the other pages are still
// imported. Afterwards the file list shows the destination with the new
// pages selected.

#include <string>

#include "app/counter_form.h"
#include "app/main_form.h"
#include "app/platform_services.h"

namespace quillet::importing {

// The file dialog's filter.
inline constexpr const char* kPageFileFilter =
    "Scanned pages (*.pdf *.tif *.tiff *.png *.jpg *.jpeg *.PDF *.TIF *.TIFF *.PNG *.JPG *.JPEG)";

// What the last run did.
struct PageImportResult {
    int written = 0;
    int problems = 0;  // lines of the warning
};

class PageImport {
public:
    PageImport(app::MainForm& form, app::CounterForm& counter, app::PlatformServices& platform)
        : form_(form), counter_(counter), platform_(platform) {}

    // Wires ImportPages1.
    void install();
    void ImportPages1Click();

    const PageImportResult& lastResult() const { return result_; }

private:
    struct Run;
    void run(const std::vector<std::string>& files, const app::PageImportChoice& choice);
    void importFile(const std::string& file, Run& r);
    void finish(const Run& r, const std::string& destination);
    void say(const std::string& text);

    app::MainForm& form_;
    app::CounterForm& counter_;
    app::PlatformServices& platform_;
    app::PageImportChoice choice_;  // the dialog shows the last choice again
    PageImportResult result_;
};

}  // namespace quillet::importing
