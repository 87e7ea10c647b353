#pragma once
// The printed size dialog (Tsetpapersize): the size in whole millimetres to
// which a bitmap is stretched when printed. Its fields are the settings.

#include <string>

#include "app/choice_list.h"
#include "app/main_form.h"
#include "app/number_field.h"
#include "app/platform_services.h"
#include "app/window_model.h"

namespace quillet::output {

class PrintedSizeDialog {
public:
    // Indexes of ComboBox1's items.
    static constexpr int kA5 = 0, kA4 = 1, kA3 = 2, kUserDefined = 3, kPageSize = 4;

    app::WindowModel window{"Tsetpapersize", "Set Printed Size (mm)", 0, 0, false};

    app::NumberField SpinEdit1{"SpinEdit1", 10, 999, 1, 3, 210};  // printed width
    app::NumberField SpinEdit2{"SpinEdit2", 10, 999, 1, 3, 297};  // printed height
    app::ChoiceList ComboBox1{"ComboBox1", {"A5", "A4", "A3", "User Defined", "Page Size"}, 4};
    bool SizeEditByUser = true;

    int widthMm() const { return SpinEdit1.value(); }
    int heightMm() const { return SpinEdit2.value(); }

    // Help texts for the context help window.
    static constexpr const char* kDialogHelp =
        "'PAGE SIZE' is the actual printable area. This is NOT exactly the same as the size "
        "selected in 'Printer Setup...' because there is usually a compulsory border. It is not "
        "feasible for printers to print at the extreme edges of a page.";
    static constexpr const char* kComboBox1Help =
        "Can be used to set the printed size to the standard page sizes or the current page "
        "size. Normally, if you have a printer installed, the size is set by default to 'PAGE "
        "SIZE' so it fits the page.";
    static constexpr const char* kSpinEdit1Help = "The actual width of the printed output in mm units.";
    static constexpr const char* kSpinEdit2Help = "The actual height of the printed output in mm units.";
    // Hints of the menu items that act on this dialog.
    static constexpr const char* kSetpapersize1Hint =
        "Set the required size for printed output. The bitmaps are stretched automatically to "
        "fit this area. Normally bitmaps are automatically stretched to fit the page size "
        "(chosen in 'Printer Setup...')";
    static constexpr const char* kPrinterSetup1Hint = "Displays a dialog box to set up the printer.";

    // Binds the dialog to the main window (Label5, status panel, the
    // resolution fields the size rules nudge) and the desktop (printer),
    // installs the handlers of SpinEdit1, SpinEdit2 and ComboBox1, and runs
    // the creation rule: choice "Page Size" and the choice change rule.
    // Call once, right after the main window exists.
    void install(app::MainForm& form, app::PlatformServices& platform);

    // ComboBox1's change rule: sets the sizes of the chosen item (A5, A4, A3;
    // the printer's printable area for "Page Size") as a program write and
    // writes Label5's caption. Runs when the user picks an item.
    void ComboBox1Change();
    // The size field rule for SpinEdit1 or SpinEdit2: a value below 10
    // becomes 10; the layout is nudged (vertical first); a user's edit turns
    // the choice to "User Defined" without running the choice rule.
    void SpinEditChange(app::NumberField& field);
    // With "Page Size" chosen, rewrites the sizes from the current printer
    // (a program write); otherwise does nothing.
    void refreshFromPrinter();
    // File > Printer Setup...: the printer setup dialog, then the refresh.
    void PrinterSetup1Click();
    // Options > Set Printed Size...: shows the dialog (modeless); with "Page
    // Size" chosen and no printer, the status panel says the sizes stay.
    void Setpapersize1Click();

    // The status text when no printer can be read: names the sizes kept.
    static std::string noPrinterText(int widthMm, int heightMm);

private:
    // Whether a missing printer is told in the status panel (not at
    // creation, where the panel holds the selection counter).
    enum class MissingPrinter { Keep, Report };
    void applyChoice(MissingPrinter missing);
    // Writes the printer's printable area, width then height; with no
    // printer keeps the sizes.
    void writePrinterSize(MissingPrinter missing);
    void reportMissingPrinter();

    app::MainForm* form_ = nullptr;
    app::PlatformServices* platform_ = nullptr;
};

}  // namespace quillet::output
