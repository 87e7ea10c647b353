#include "program/program.h"

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

    // 1. The main window: its set-up, then the shell's handlers (options, the
    //    bitmap list, the file commands, the archive commands, help and Exit).
    mainFormSetUp(programDirectory);
    options.install();
    bitmapList.showInViewer = [this](const std::string& path) { tempform.showFile(path); };
    bitmapList.install();
    installFileCommands(form, platform);
    archiveCommands.install();
    bitmapList.onZipListChange = [this] { archiveCommands.zipListChange(); };
    form.Help1.onClick = [this] { Form2.Help1Click(); };
    form.Exit1.onClick = [this] { Exit1Click(); };

    // 2. The printed size dialog ("Page Size" and its choice rule; Printer
    //    Setup and Set Printed Size).
    setpapersize.install(form, platform);
    form.PrinterSetup1.onClick = [this] { setpapersize.PrinterSetup1Click(); };
    form.Setpapersize1.onClick = [this] { setpapersize.Setpapersize1Click(); };

    // 3. The borders dialog.
    setbordersheadersfootersdialog.install(form, platform);
    form.Setborders1.onClick = [this] { setbordersheadersfootersdialog.Setborders1Click(); };

    // 4. The viewer places itself at the top right of the screen.
    tempform.install();
    form.ToggleViewerWindow1.onClick = [this] { tempform.ToggleViewerWindow1Click(); };
    form.Viewfromotherdirectory1.onClick = [this] { tempform.Viewfromotherdirectory1Click(); };
    //    Printing and the preview, which stretch to the printed size and show
    //    in the viewer.
    printing.install();
    preview.install();

    // 5. The scan counter: Select Source and Acquire, and the pages imported
    //    with the counter's numbers.
    acquisition.install();
    pageImport.install();
    cleanUp.install();

    // 6. The justification dialog.
    TabbedNotebookDlg.install(form);

    // 7. The help window needs no set-up.

    // The main job's commands, once every window they read is set up: the
    // lock, the layout fields and OK.
    selectionLock.install();
    layoutGeometry.install();
    form.Button1.onClick = [this] { composition.Button1Click(); };
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

void Program::detachViewer() { bitmapList.showInViewer = nullptr; }

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
