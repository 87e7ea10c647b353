#include "app/main_form.h"

namespace quillet::app {

namespace {

// The hint shared by the two archive items of the file list's pop-up menu.
constexpr const char* kArchiveHint =
    "New to version 2.53 of Quillet! To save storage space you can compress bitmaps (and "
    "decompress) within Quillet. Storage saving of around 80% !!";

}  // namespace

const char* const MainForm::kFileListBitmapHint =
    "Select the required bitmaps in this filelist (by holding the mouse button down to highlight "
    "them). The Shift and Control keys can also be used to refine the selection.";
const char* const MainForm::kFileListZipHint =
    "You can select a zip file to unpack. You can see the extracted files afterwards by pressing "
    "ctrl+O to see the Output Directory file list.";

MainForm::MainForm()
    : SetOutputDirectory1(
          "SetOutputDirectory1", "&Set Output Directory...", "Ctrl+O",
          "Normally the files are written to the same directory as the filelist. Click this to "
          "change it. If you 'Cancel' from the dialog box, the normal behaviour is reverted to and "
          "NOT the expected 'previously selected output directory'. Can create directories too"),
      DeleteSelectedFiles1(
          "DeleteSelectedFiles1", "&Delete Selected Files", "Ctrl+D",
          "Will delete the files selected in the list in the centre of the main form. For safety, "
          "you will be asked to confirm deletion of each selected bitmap."),
      Moveselectedfiles(
          "Moveselectedfiles", "&Move Selected Files", "Ctrl+M",
          "Moves the selected files to the Output Directory. If file already exists in the "
          "destination directory, an error message appears. It doesn't overwrite files. "),
      Print1("Print1", "&Print...", "Ctrl+P",
             "Prints a chosen bitmap or the selected bitmaps to fit the page (or according to the "
             "printed size set in the options menu). The printer page size should be selected "
             "first with 'Printer Setup...' unless the default size is used."),
      PrintPreview1(
          "PrintPreview1", "Print Pre&view...", {},
          "Displays the selected bitmaps or (if you click 'no' to the dialog box) a chosen bitmap "
          "but as they would appear on paper when printed using the 'Print...' option. i.e. the "
          "bitmaps displayed will be proportional to the printed output."),
      PrinterSetup1("PrinterSetup1", "Printer Se&tup...", {},
                    "Displays a dialog box to set up the printer."),
      SelectSource1("SelectSource1", "Se&lect Source...", {},
                    "Displays a dialog box for selecting the required 32-bit TWAIN device driver "
                    "for scanning."),
      Acquire1("Acquire1", "&Acquire...", {},
               "Scan using the selected or the default Twain driver. You must have a 32-bit TWAIN "
               "device driver installed for this option to be enabled. Images scanned will use "
               "the filename above the OK button, plus a counter number starting 001."),
      ImportPages1("ImportPages1", "&Import Pages...", {},
                   "Turns the pages of scanned PDF, TIFF, PNG or JPEG files into monochrome bitmaps in "
                   "the output directory, named like scans: the filename above the OK button plus the "
                   "counter number. Grey and colour pages are made black and white; existing files are "
                   "never overwritten."),
      CleanUpPages1("CleanUpPages1", "&Clean Up Pages...", {},
                    "Straightens skewed pages and removes dark borders and specks of dust from the selected "
                    "bitmaps, writing the cleaned copies into the output directory (into a 'cleaned' folder when "
                    "that is the bitmaps' own) and listing them. The bitmaps themselves are never changed."),
      Exit1("Exit1", "E&xit Quillet", {}, "Thankyou for using Quillet"),
      Columnformat1(
          "Columnformat1", "&Output in COLUMN Format", {},
          "Toggle for either Row or Column printing. Quillet was primarily designed for Column "
          "printing but Row printing is also supported. Note that in row printing the 'Column "
          "length in pages' box controls the number of rows per printed page.",
          true),
      Compressiontoggle1(
          "Compressiontoggle1", "&Compression ENABLED", "Ctrl+C",
          "Can only be set when 'Lock Selection' is not checked. Disable compression only if you "
          "are sure you don't need it. If disabled, it can save a lot of time because the "
          "compression stats are not calculated when 'Lock Selection' is checked.",
          true),
      UpdatefilelistafterOK1(
          "UpdatefilelistafterOK1", "&Update Filelist after 'OK'", {},
          "If checked, the filelist is updated and consequently the selection is unlocked if the "
          "output directory is the same as the internal bitmaps when 'OK' is pressed. Checked by "
          "default but it may be better to uncheck it for convenience.",
          true),
      KeepQuilletontop1("KeepQuilletontop1", "&Keep Quillet on Top", {},
                        "Toggle whether to keep the main Quillet window in the foreground so it "
                        "doesn't get hidden by other applications."),
      ThickPrint1(
          "ThickPrint1", "&Thick Print", "Ctrl+T",
          "If you find details missing when you print out a bitmap, enabling this option may "
          "improve the print quality. It works by making the bitmap stronger and bolder. When "
          "enabled it will slow down printing however. It is also effective in the 'Print "
          "Preview...'"),
      Setpapersize1(
          "Setpapersize1", "&Set Printed Size...", {},
          "Set the required size for printed output. The bitmaps are stretched automatically to "
          "fit this area. Normally bitmaps are automatically stretched to fit the page size "
          "(chosen in 'Printer Setup...')"),
      AdvancedFormatOptions1("AdvancedFormatOptions1", "Advanced Format Options", {},
                             "This submenu includes various powerful options for greater control "
                             "of the final layout."),
      Autocrop1("Autocrop1", "&Autocrop", "Ctrl+A",
                "Removes 'white edges' of the internal bitmaps. It is not selectable if 'Lock "
                "Selection' is checked as it must be set beforehand. Note that, like every other "
                "setting, the autocropping is done internally and it does not alter the bitmaps "
                "on disc.",
                true),
      Stretchtolargestwidth1(
          "Stretchtolargestwidth1", "Stretch to Largest Width", {},
          "When checked, 'Fix page size to largest width' is automatically checked also. The "
          "difference is that this option also stretches the internal bitmaps horizontally. This "
          "can avoid ragged-edged columns.",
          true),
      Stretchtolargestheight1(
          "Stretchtolargestheight1", "Stretch to Longest Height", {},
          "When checked, 'Fix page size to longest height' is automatically checked also. This "
          "option stretches the internal bitmaps vertically. The bitmaps should be autocropped "
          "and scanned straight for best stretched results."),
      Fixpagesizetolongestwidth1(
          "Fixpagesizetolongestwidth1", "Fix Page Size to Largest Width", {},
          "The layout will have an identical width allowance for internal pages if this is "
          "checked. Compulsory for Column format printing. It can be used in Row printing to keep "
          "the layout in a boxed and even style.",
          true, false),
      Fixpagesizetolongestheight1(
          "Fixpagesizetolongestheight1", "Fix Page Size to Longest Height", {},
          "If checked, the layout will have an identical height allowance for internal pages. "
          "Compulsory for Row format printing. Useful for an even, boxed layout in Column "
          "printing."),
      Setborders1("Setborders1", "&Set Borders, Headers and Footers...", "Ctrl+B",
                  "Displays a dialog box to select border sizes and header and footer text to "
                  "display in the borders."),
      Setverticalpagejustification1(
          "Setverticalpagejustification1", "Set &Vertical Page Justification...", {},
          "Sets top/centre/bottom orientation of internal pages in their page space. The default "
          "is top. To have any effect, 'Fix page size to longest height' must be checked and "
          "'Stretch to longest height' must NOT be checked."),
      Sethorizontalpagejustification1(
          "Sethorizontalpagejustification1", "Set &Horizontal Page Justification...", {},
          "Sets left/centre/right orientation of internal pages in their page space. The default "
          "is left. To have any effect, 'Fix page size to largest width' must be checked and "
          "'Stretch to largest width' must NOT be checked."),
      ToggleViewerWindow1("ToggleViewerWindow1", "&Toggle Bitmap Viewer", "F12",
                          "Toggle on and off a viewer window which normally displays the "
                          "currently selected bitmap."),
      Viewfromotherdirectory1(
          "Viewfromotherdirectory1", "&View From Other Directory...", "F11",
          "Displays an 'open file' dialog box to view a bitmap from any directory. Useful if you "
          "do not want to deselect 'Lock selection' just to view a bitmap. The default directory "
          "is the output directory selected."),
      Help1("Help1", "&Help", "F1"),
      Extract("Extract", "Extract to current output directory", "X", kArchiveHint, false, false),
      Addselectedfilesto1("Addselectedfilesto1", "Add selected files to", "A", kArchiveHint),
      Showzipfiles1(
          "Showzipfiles1", "List ZIP files", "Z",
          "When checked, the list will just show *.zip files located in the directory. It then "
          "allows you to decompress them to the Output Directory (usually the current "
          "directory). When unchecked, it reverts to the usual behaviour of only displaying "
          "*.bmp files."),
      lockselection("lockselection", "Loc&k Selection",
                    "Check this after the internal bitmaps have been selected. You cannot refine "
                    "your selection after it is checked without it automatically becoming "
                    "unchecked. BE CAREFUL NOT TO ACCIDENTALLY DOUBLE-CLICK IT."),
      Button1("Button1", "OK") {
    // The three layout fields are available only while the selection is
    // locked (the lock switches them); the printed pages field only displays
    // the estimate and is always greyed.
    ColumnLengthPixels.setEnabled(false);
    ColumnLengthPages.setEnabled(false);
    Numberofcolumnsperprintedpage.setEnabled(false);
    numberofprintedpages.setEnabled(false);
}

void MainForm::changeDirectory(const std::string& dir) {
    // The directory or drive list has the keyboard focus, not the file list.
    FileListBox1.hasFocus = false;
    FileListBox1.setDirectory(dir);
    DriveComboBox1.followDirectory(FileListBox1.directory());
}

const std::vector<ControlText>& MainForm::controlTexts() {
    static const std::vector<ControlText> texts{
        {"DriveComboBox1", "", "Select the storage drive containing the required bitmaps"},
        {"DirectoryListBox1", "",
         "Select the directory of the required bitmaps (by double-clicking the folder). All the "
         "bitmaps are automatically displayed and selected in the filelist."},
        {"fullpathname", "", ""},
        {"FileListBox1", "", kFileListBitmapHint},
        {"ColumnLengthGroup", "",
         "In 'row' format it's recommended to use the 'in pages' edit box so that there's no "
         "empty space at the bottom due to the column length not being a multiple of the internal "
         "page height."},
        {"ColumnLengthPixels", "Column Length &in pixels",
         "The length in pixels excludes the top and bottom external borders because it refers to "
         "the column length available to the internal pages. For consistency, a minimum value is "
         "set to the length of the average internal page."},
        {"ColumnLengthPages", "in &pages",
         "The 'in pages' refers to the multiple of the average internal page length. If 'Fix to "
         "longest height ' is set in advanced options then all internal pages will be the same "
         "length if not compressed in which case it's the actual number of pages."},
        {"Numberofcolumnsperprintedpage", "Number of co&lumns per printed page",
         "Sets the multiple of the average internal page width. If 'fix to largest width' is set "
         "in advanced options then this refers to the number of distinct columns per printed "
         "page."},
        {"PrintedPagesGroup", "",
         "Displays an uneditable approximation of the number of printed pages required."},
        {"numberofprintedpages", "Number of printed pages", ""},
        {"ResolutionGroup", "",
         "The 'Pixels Per Inch' values are based on the printed size that the external page is "
         "stretched to. The printed size is normally set to the printer page size. You can also "
         "manually set the printed size (see the options menu)."},
        {"Label5", "", ""},
        {"xpixelsperinch", "&X",
         "Horizontal resolution. You can exceed the printer resolution if the scanned text isn't "
         "at the smallest legible size."},
        {"ypixelsperinch", "&Y",
         "Vertical resolution. You can exceed the printer resolution if the scanned text isn't at "
         "the smallest legible size."},
        {"FileNameGroup", "",
         "IMPORTANT: All created output files overwrite any previous attempts with the same "
         "filename. No warning is given. It makes it easier to test layouts or retry scans. In "
         "use, I've not found it necessary to ask for overwrite confirmation."},
        {"filename", "File Na&me:",
         "The file(s) will be created in the directory selected in 'Set Output Directory'. The "
         "file(s) to be printed will be preceded  with the page number, i.e. 1page, 2page... etc. "
         "'Acquire...' will append the number from the counter (eg. page001)."},
        {"compressionselection", "&Compression",
         "Select amount of compression of space between lines. Select High to remove most of the "
         "white space between lines to squeeze as much text as possible on a page."},
        {"lockselection", "Loc&k Selection",
         "Check this after the internal bitmaps have been selected. You cannot refine your "
         "selection after it is checked without it automatically becoming unchecked. BE CAREFUL "
         "NOT TO ACCIDENTALLY DOUBLE-CLICK IT."},
        {"Button1", "OK", ""},
        {"Panel1", "",
         "The bottom panel displays various information. When the selection is locked it usually "
         "displays the size of each external page in pixels and the storage space required to "
         "create them."},
    };
    return texts;
}

std::string MainForm::hintOf(std::string_view controlName) const {
    if (controlName == "FileListBox1") return ZipListMode ? kFileListZipHint : kFileListBitmapHint;
    for (const auto& t : controlTexts())
        if (t.name == controlName) return t.hint;
    return {};
}

std::string MainForm::labelOf(std::string_view controlName) {
    for (const auto& t : controlTexts())
        if (t.name == controlName) return t.label;
    return {};
}

}  // namespace quillet::app
