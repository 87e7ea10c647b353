#include "app/program/program.h"

#include <filesystem>
#include <system_error>

#include "app/file_commands.h"
#include "app/logo.h"
#include "app/message_boxes.h"

namespace quillet::app {

Program::Program(PlatformServices& p, const std::string& startDirectory,
                 const std::string& programDirectory)
    : platform(p),
      tempform(p, form, pointer),
      Form2(p, pointer),
      options(form, OptionWindows{&counterform.window, &setpapersize.window,
                                  &setbordersheadersfootersdialog.window,
                                  &TabbedNotebookDlg.window}),
      bitmapList(form, p),
      selectionLock(form, p, pageTable) {
    // The file list shows the start directory before any handler listens;
    // the set-up selects its entries and writes the counter.
    form.FileListBox1.setDirectory(startDirectory);
    form.DriveComboBox1.followDirectory(form.FileListBox1.directory());

    // 1. The main window and its set-up.
    mainFormSetUp(programDirectory);

    // ---- application shell: options, the bitmap list, the viewer, help, Exit
    options.connect();
    bitmapList.showInViewer = [this](const std::string& path) { tempform.showFile(path); };
    bitmapList.connect();
    form.ToggleViewerWindow1.onClick = [this] { tempform.ToggleViewerWindow1Click(); };
    form.Viewfromotherdirectory1.onClick = [this] { tempform.Viewfromotherdirectory1Click(); };
    form.Help1.onClick = [this] { Form2.Help1Click(); };
    form.Exit1.onClick = [this] { Exit1Click(); };

    // ---- output directory and file commands
    installFileCommands(form, platform);

    // 2, 3: the printed size and borders dialogs (their set-ups go here).
    // ---- layout and printed size set-ups (begin)
    setpapersize.create(form, platform);  // "Page Size" and its choice rule
    setbordersheadersfootersdialog.connect(form, platform);
    // ---- layout and printed size set-ups (end)
    // 4. The viewer places itself at the top right of the screen.
    tempform.create();
    // 5, 6, 7: counter, justification and help windows need no set-up here.

    // ---- analysis (lock): connect lockselection.onChange here
    selectionLock.install();
    // ---- layout: connect the layout fields' onChange, Setborders1,
    //      Setverticalpagejustification1, Sethorizontalpagejustification1 here
    // ---- layout wiring (begin)
    layoutGeometry.install();
    form.Setborders1.onClick = [this] { setbordersheadersfootersdialog.Setborders1Click(); };
    TabbedNotebookDlg.connect(form);
    // ---- layout wiring (end)
    // ---- output: Print1, PrintPreview1, PrinterSetup1, Setpapersize1 here
    // ---- printed size wiring (begin)
    form.PrinterSetup1.onClick = [this] { setpapersize.PrinterSetup1Click(); };
    form.Setpapersize1.onClick = [this] { setpapersize.Setpapersize1Click(); };
    // ---- printed size wiring (end)
    // ---- composition: Button1.onClick here
    // ---- composition wiring (begin)
    form.Button1.onClick = [this] { composition.Button1Click(); };
    // ---- composition wiring (end)
    // ---- compression list: compressionselection.onChange here (installed with
    //      the lock above, onFocus too)
    // ---- acquisition and archives: SelectSource1, Acquire1, pop-up items here
}

Program::~Program() { teardown(); }

void Program::mainFormSetUp(const std::string& programDirectory) {
    // 1. Zip list mode off.
    form.ZipListMode = false;
    // 2. No scanner source chosen yet in this run.
    form.SourceSelected = false;
    // 3. Every entry of the file list selected.
    form.FileListBox1.selectAll();
    // 4. The selection counter, painted at once.
    bitmapList.writeSelectionCounter();
    if (!form.FileListBox1.lastError().empty())
        reportError(platform, form.FileListBox1.lastError());
    // 5. An empty viewer bitmap at scale 1.
    tempform.setBitmap(imaging::Bitmap());
    // 6. The executable's directory becomes the working directory; the lists
    //    keep showing the start directory.
    if (!programDirectory.empty()) {
        std::error_code ec;
        std::filesystem::current_path(programDirectory, ec);
    }
    // 7. The logo picture into the viewer.
    logo_ = makeLogo();
    tempform.setBitmap(logo_);
    // 8. The layout handlers wait for the first change of the list or drive.
    form.LayoutHandlersEnabled = false;
    // 9. Compression level "None 100%".
    form.compressionselection.setItemIndex(0);
    // 10. Help texts go to the help window from now on.
    hintRouting_ = true;
    // 11. The factor of "None 100%".
    pageTable.CompressionFactor[0] = 1.0;
}

std::vector<WindowModel*> Program::windows() {
    return {&form.window,          &setpapersize.window, &setbordersheadersfootersdialog.window,
            &tempform.window,      &counterform.window,  &TabbedNotebookDlg.window,
            &Form2.window};
}

void Program::hintChanged(const std::string& hint) {
    if (hintRouting_) Form2.hintChanged(hint);
}

void Program::Exit1Click() {
    teardown();
    quitRequested.emit();
}

void Program::teardown() {
    if (tornDown_) return;
    tornDown_ = true;
    tempform.ViewerBitmap = imaging::Bitmap();
    try {
        std::error_code ec;
        std::filesystem::remove(tempform.tempFilePath(), ec);
    } catch (...) {
        // Deleting the temporary file ignores every failure.
    }
}

}  // namespace quillet::app
