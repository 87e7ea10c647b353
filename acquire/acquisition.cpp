#include "acquire/acquisition.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "acquire/scan_file.h"
#include "acquire/scanner_error.h"
#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "imaging/bitmap_error.h"

namespace quillet::acquire {

namespace {

// The end of the command on every path out: the main window back at its
// size, the counter window hidden, the normal pointer.
class RunGuard {
public:
    RunGuard(app::MainForm& form, app::CounterForm& counter, app::PlatformServices& platform)
        : form_(form), counter_(counter), platform_(platform) {}
    ~RunGuard() {
        try {
            platform_.setBusyCursor(false);
            form_.window.setMinimized(false);
            counter_.window.hide();
        } catch (...) {
        }
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

private:
    app::MainForm& form_;
    app::CounterForm& counter_;
    app::PlatformServices& platform_;
};

// The page handle, released on every path out of a pass.
struct PageHandle {
    Twain& twain;
    NativeHandle image;
    ~PageHandle() { twain.TWAIN_FreeNative(image); }
};

}  // namespace

Acquisition::Acquisition(app::MainForm& form, app::CounterForm& counterform, output::Viewer& viewer,
                         app::PlatformServices& platform)
    : form_(form), counter_(counterform), viewer_(viewer), platform_(platform) {}

void Acquisition::install() {
    form_.SelectSource1.onClick = [this] { SelectSource1Click(); };
    form_.Acquire1.onClick = [this] { Acquire1Click(); };
}

void Acquisition::SelectSource1Click() {
    if (scanner == nullptr) return;
    form_.SourceSelected = true;
    scanner->TWAIN_SelectImageSource();
}

bool Acquisition::savePage(NativeHandle image, const std::string& target) {
    const std::string directory = app::restoreRoot(form_.OutputDirectory);
    std::string fault;
    try {
        if (::chdir(directory.c_str()) != 0)
            throw ScannerError("The output directory " + directory + " cannot be entered (" +
                               std::strerror(errno) + ")");
        saveScan([&](const std::string& path) { scanner->TWAIN_WriteNativeToFilename(image, path); }, directory,
                 target);
        viewer_.loadFile(target);
    } catch (const ScannerError& e) {
        fault = e.what();
    } catch (const imaging::BitmapError& e) {
        fault = "The saved scan " + target + " cannot be read back (" + e.what() + ")";
    }
    viewer_.refresh();
    if (fault.empty()) return true;
    app::showWarning(platform_, std::string(kDiskErrorText) + "\n" + fault + ".");
    return false;
}

void Acquisition::Acquire1Click() {
    if (scanner == nullptr) return;
    // 1. The source selection the first time.
    if (!form_.SourceSelected) {
        form_.SourceSelected = true;
        scanner->TWAIN_SelectImageSource();
    }
    // 2. The main window out of the way, the counter and the viewer shown.
    RunGuard guard(form_, counter_, platform_);
    form_.window.setMinimized(true);
    counter_.window.show();
    viewer_.show();
    // 3. The output directory rule, the root cut.
    app::applyOutputDirectoryRule(form_);
    form_.OutputDirectory = app::cutRoot(form_.OutputDirectory);

    // 4. One scan per pass; an unexpected failure ends the command with the
    //    general error report.
    try {
        scanLoop();
    } catch (const std::exception& e) {
        app::reportError(platform_, e.what());
    }
}

void Acquisition::scanLoop() {
    for (;;) {
        PageHandle page{*scanner, scanner->TWAIN_AcquireNative()};
        platform_.setBusyCursor(true);
        if (page.image == nullptr) break;

        const int number = counter_.counterspinedit.value();
        const std::string target =
            app::joinPath(form_.OutputDirectory, scanFileName(form_.filename.text(), number));
        bool atMaximum = false;
        if (savePage(page.image, target)) {
            if (form_.UpdatefilelistafterOK1.checked() &&
                form_.directory().compare(0, form_.OutputDirectory.size(), form_.OutputDirectory) == 0)
                form_.FileListBox1.refill();
            atMaximum = number >= kCounterMax;
            counter_.counterspinedit.setValue(number + 1);
            form_.Panel1.setText("Saved to " + target);
            platform_.processPaintEvents();
        }
        app::showNotice(platform_, kPressOkText);
        platform_.setBusyCursor(false);
        counter_.window.show();
        if (atMaximum) {
            // Another pass would replace the page just saved.
            app::showNotice(platform_, kCounterAtMaximumText);
            break;
        }
    }
}

}  // namespace quillet::acquire
