#pragma once
// The running program: the seven windows created once in their fixed order
// (TForm1, Tsetpapersize, Tsetbordersheadersfootersdialog, Ttempform,
// Tcounterform, TTabbedNotebookDlg, TForm2), the program-wide state, and the
// handlers of every part wired onto the controls.
//
// Each part's handler object is a member declared after the windows (so it
// may refer to them) and is installed once, in window order, by the
// constructor.

#include <string>
#include <vector>

#include "acquire/acquisition.h"
#include "analysis/page_table.h"
#include "analysis/selection_lock.h"
#include "app/bitmap_list.h"
#include "app/counter_form.h"
#include "app/help_window.h"
#include "app/main_form.h"
#include "app/mouse_pointer.h"
#include "app/options.h"
#include "app/platform_services.h"
#include "app/signal.h"
#include "app/window_model.h"
#include "archive/ZipMstr.h"
#include "archive/archive_commands.h"
#include "cleanup/clean_up_command.h"
#include "layout/borders_dialog.h"
#include "layout/composition.h"
#include "layout/justification_dialog.h"
#include "layout/layout_geometry.h"
#include "importing/page_import.h"
#include "layout/layout_numbers.h"
#include "output/preview_command.h"
#include "output/print_command.h"
#include "output/printed_size_dialog.h"
#include "output/viewer.h"

namespace quillet::app {

class Program {
public:
    // Creates the windows in their order and runs the main window's set-up:
    // the file list shows startDirectory with every entry selected; the
    // working directory becomes programDirectory (left as it is when empty).
    Program(PlatformServices& platform, const std::string& startDirectory,
            const std::string& programDirectory);
    // Runs the teardown if Exit has not run it.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    PlatformServices& platform;

    // ---- program-wide state shared by the parts
    MousePointer pointer;
    analysis::PageTable pageTable;
    layout::LayoutNumbers layoutNumbers;

    // ---- the seven windows, in creation order
    MainForm form;                                 // 1 TForm1
    output::PrintedSizeDialog setpapersize;        // 2 Tsetpapersize
    layout::BordersDialog setbordersheadersfootersdialog;  // 3
    output::Viewer tempform;                       // 4 Ttempform
    CounterForm counterform;                       // 5 Tcounterform
    layout::JustificationDialog TabbedNotebookDlg; // 6 TTabbedNotebookDlg
    HelpWindow Form2;                              // 7 TForm2
    // The seven window models in creation order.
    std::vector<WindowModel*> windows();

    // ---- application shell handlers
    Options options;
    BitmapList bitmapList;
    // ---- archives: the main window's zip engine and the pop-up's commands.
    archive::TZipMaster ZipMaster1{platform};
    archive::ArchiveCommands archiveCommands{form, platform, ZipMaster1};

    // ---- output: Print (Print1Click) and Print Preview (PrintPreview1Click).
    output::PrintCommand printing{form, platform, setpapersize, tempform};
    output::PreviewCommand preview{form, platform, setpapersize, tempform};

    // ---- analysis: the lock box and the compression list (change and focus).
    analysis::SelectionLock selectionLock;
    // ---- layout: the layout fields' change handling; writes layoutNumbers.
    layout::LayoutGeometry layoutGeometry{form, setpapersize, setbordersheadersfootersdialog,
                                          pageTable, layoutNumbers};
    // ---- composition: the OK command (Button1Click).
    layout::Composition composition{layout::CompositionContext{
        form, platform, pageTable, layoutNumbers, setbordersheadersfootersdialog, TabbedNotebookDlg,
        setpapersize}};

    // ---- acquisition: Select Source and Acquire, counting on counterform.
    acquire::Acquisition acquisition{form, counterform, tempform, platform};
    // ---- importing: File > Import Pages..., numbered by the scan counter.
    importing::PageImport pageImport{form, counterform, platform};
    // ---- clean-up: File > Clean Up Pages..., copies into the output directory.
    cleanup::CleanUpCommand cleanUp{form, platform};

    // The application's current help text changed (status tip of the control
    // under the pointer or of the highlighted menu item): routed to the help
    // window once the main window's set-up has asked for it.
    void hintChanged(const std::string& hint);

    // Exit (File menu): runs the teardown and asks the view to end the event
    // loop through quitRequested.
    void Exit1Click();
    Signal quitRequested;
    // The main window was closed: releases ViewerBitmap and deletes
    // "tempprev.bmp" in the private temporary directory, ignoring every
    // failure. Runs once; later calls do nothing.
    void teardown();

    // For front ends without a screen (quillet-batch): a change of the file
    // list's current entry no longer loads that bitmap into the viewer, so no
    // file is decoded, written or warned about for display.
    void detachViewer();

    // The built-in logo picture (Image1).
    const imaging::Bitmap& logo() const { return logo_; }

private:
    void mainFormSetUp(const std::string& programDirectory);

    imaging::Bitmap logo_;
    bool hintRouting_ = false;
    bool tornDown_ = false;
};

}  // namespace quillet::app
