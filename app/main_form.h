#pragma once
// The main window's state (TForm1): its option menu items, fields, lists and
// status panel, and the program-wide values that the application shell owns.
// The controls keep the system's names. Handlers are installed on the
// controls by the parts of the system that own the rules.
//
// Menus: a menu's own MenuItem (File1, Options1, AdvancedFormatOptions1,
// View1) is "clicked" when the menu is about to open; its onClick applies the
// enabling rules of that menu. The view calls click() from aboutToShow.
// Help texts: every control and menu item has one (MenuItem::hint(),
// CheckBox::hint(), and for the other controls hintOf(name)); the view shows
// them as status tips, which feed the help window.

#include <string>
#include <string_view>
#include <vector>

#include "app/check_box.h"
#include "app/choice_list.h"
#include "app/drives.h"
#include "app/file_list.h"
#include "app/menu_item.h"
#include "app/number_field.h"
#include "app/status_panel.h"
#include "app/text_field.h"
#include "app/window_model.h"

namespace quillet::app {

enum class OutputFormat { Column, Row };

// A control without a hint of its own (fields, lists, labels, group boxes):
// its system name, the caption of its label (with "&" before the access key;
// empty when it has none) and its help text (empty when it has none).
struct ControlText {
    std::string name;
    std::string label;
    std::string hint;
};

// The four outlined regions of the main window around the fields; each has a
// help text shown when the pointer is over the region but not over a field.
// Names: ColumnLengthGroup (both column length fields and the columns field),
// PrintedPagesGroup, ResolutionGroup (Label5 and both resolution fields),
// FileNameGroup.

struct MainForm {
    MainForm();

    WindowModel window{"TForm1", "Quillet", 463, 434, true};

    // ---- File menu
    MenuItem File1{"File1", "&File"};
    MenuItem SetOutputDirectory1;
    MenuItem DeleteSelectedFiles1;
    MenuItem Moveselectedfiles;
    MenuItem Print1;
    MenuItem PrintPreview1;
    MenuItem PrinterSetup1;
    MenuItem SelectSource1;
    MenuItem Acquire1;
    MenuItem ImportPages1;
    MenuItem CleanUpPages1;
    MenuItem Exit1;
    // ---- Options menu
    MenuItem Options1{"Options1", "&Options"};
    MenuItem Columnformat1;
    MenuItem Compressiontoggle1;
    MenuItem UpdatefilelistafterOK1;
    MenuItem KeepQuilletontop1;
    MenuItem ThickPrint1;
    MenuItem Setpapersize1;
    // ---- Options > Advanced Format Options
    MenuItem AdvancedFormatOptions1;
    MenuItem Autocrop1;
    MenuItem Stretchtolargestwidth1;
    MenuItem Stretchtolargestheight1;
    MenuItem Fixpagesizetolongestwidth1;
    MenuItem Fixpagesizetolongestheight1;
    MenuItem Setborders1;
    MenuItem Setverticalpagejustification1;
    MenuItem Sethorizontalpagejustification1;
    // ---- View menu
    MenuItem View1{"View1", "&View"};
    MenuItem ToggleViewerWindow1;
    MenuItem Viewfromotherdirectory1;
    // ---- Help (on the menu bar itself)
    MenuItem Help1;
    // ---- File list pop-up menu (PopupMenu1 is "clicked" as it opens)
    MenuItem PopupMenu1{"PopupMenu1", ""};
    MenuItem Extract;
    MenuItem Addselectedfilesto1;
    MenuItem Showzipfiles1;

    // ---- Fields
    NumberField ColumnLengthPixels{"ColumnLengthPixels", 1, 32000, 11, 5, 1};
    NumberField ColumnLengthPages{"ColumnLengthPages", 1, 99, 1, 2, 1};
    NumberField Numberofcolumnsperprintedpage{"Numberofcolumnsperprintedpage", 1, 99, 1, 2, 1};
    NumberField numberofprintedpages{"numberofprintedpages", 1, 300, 1, 3, 1};
    NumberField xpixelsperinch{"xpixelsperinch", 0, 99999, 10, 5, 600};
    NumberField ypixelsperinch{"ypixelsperinch", 0, 99999, 10, 5, 600};
    TextField filename{"filename", 25, "page"};
    ChoiceList compressionselection{"compressionselection", {"None 100%", "High", "Medium", "Low"}, 0};
    CheckBox lockselection{"lockselection", "Loc&k Selection"};
    MenuItem Button1;  // the OK button, a command like a menu item
    StatusPanel Panel1;
    std::string Label5 = "pixels/inch (A4)";
    // Writes Label5's caption and tells the view (labelsChanged).
    void setLabel5(std::string caption) {
        Label5 = std::move(caption);
        labelsChanged.emit();
    }
    // Emitted when a label caption (Label5) changed.
    Signal labelsChanged;

    // ---- The bitmap list controls
    DriveList DriveComboBox1;
    FileList FileListBox1;
    // The directory list's current directory (the file list's directory).
    // DirectoryListBox1 and the path label fullpathname show it; the view
    // shortens the label with an ellipsis to the directory list's width.
    std::string directory() const { return FileListBox1.directory(); }
    // The directory list moved (double-click on a folder, or the drive list):
    // the file list follows (refill and change notification) and the drive
    // list shows the drive of the new directory.
    void changeDirectory(const std::string& dir);

    // ---- Labels and help texts of the controls without their own hint
    // Every field, list, label and group of the main window, in tab order.
    static const std::vector<ControlText>& controlTexts();
    // The help text of the named control or group; empty when it has none.
    // The file list's text follows the list mode (bitmaps or archives).
    std::string hintOf(std::string_view controlName) const;
    // The label caption of the named control; empty when it has none.
    static std::string labelOf(std::string_view controlName);
    // The file list's help texts in the two list modes.
    static const char* const kFileListBitmapHint;
    static const char* const kFileListZipHint;

    // ---- Options held as state (their items show them by caption)
    OutputFormat outputFormat = OutputFormat::Column;
    bool compressionEnabled = true;

    // ---- Program-wide values owned by the application shell
    bool LayoutHandlersEnabled = false;
    bool ZipListMode = false;
    std::string OutputDirectory;
    bool OutputDirectoryChosen = false;
    bool SourceSelected = false;

    // Whether the selection is locked (the lock check box is checked).
    bool locked() const { return lockselection.checked(); }
};

}  // namespace quillet::app
