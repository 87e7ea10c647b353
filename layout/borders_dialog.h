#pragma once
// The borders dialog (Tsetbordersheadersfootersdialog): eight border widths
// in whole millimetres and four header/footer texts, each with its own font.
// The values of its controls are the settings, in force at once.

#include <array>
#include <string>

#include "app/main_form.h"
#include "app/number_field.h"
#include "app/platform_services.h"
#include "app/signal.h"
#include "app/text_field.h"
#include "app/window_model.h"
#include "imaging/bitmap.h"

namespace quillet::layout {

// A header or footer: its text field and the typeface and style it is drawn
// in (the size is set from the border when drawn).
struct BorderText {
    explicit BorderText(const char* name) : field(name, 0) {}
    app::TextField field;
    imaging::Font font;  // Arial, bold, 8 pt at start
    // Emitted when the font's typeface or style changed, for the view.
    app::Signal fontChanged;
};

class BordersDialog {
public:
    BordersDialog();

    app::WindowModel window{"Tsetbordersheadersfootersdialog", "Set Borders, Headers and Footers",
                            0, 0, false};

    app::NumberField topint{"topint", 0, 99999, 1, 5, 0};
    app::NumberField bottomint{"bottomint", 0, 99999, 1, 5, 1};
    app::NumberField leftint{"leftint", 0, 99999, 1, 5, 0};
    app::NumberField rightint{"rightint", 0, 99999, 1, 5, 1};
    app::NumberField topext{"topext", 0, 99999, 1, 5, 0};
    app::NumberField bottomext{"bottomext", 0, 99999, 1, 5, 3};
    app::NumberField leftext{"leftext", 0, 99999, 1, 5, 0};
    app::NumberField rightext{"rightext", 0, 99999, 1, 5, 0};

    BorderText inthead{"inthead"};
    BorderText intfoot{"intfoot"};
    BorderText exthead{"exthead"};
    BorderText extfoot{"extfoot"};

    // The eight width fields: internal top, bottom, left, right, then
    // external top, bottom, left, right.
    std::array<app::NumberField*, 8> widthFields();
    // The four texts: inthead, intfoot, exthead, extfoot.
    std::array<BorderText*, 4> texts();

    // Help texts for the context help window: the dialog's rule text, the
    // one on topint and bottomint, and the one on the four text fields.
    static constexpr const char* kDialogHelp =
        "The header and footer text is only written if the relevant border is at least 3mm "
        "thick. The page number is automatically appended to the text. The text is always "
        "centred. The text height is always half the border height.";
    static constexpr const char* kTopBottomIntHelp =
        "It isn't recommended to have both top and bottom internal borders with text for "
        "reasons obvious when they are printed.";
    static constexpr const char* kTextFieldHelp = "Double-click to change the font and style.";
    // Hint of the Setborders1 menu item.
    static constexpr const char* kSetborders1Hint =
        "Displays a dialog box to select border sizes and header and footer text to display in "
        "the borders.";

    // The help text shown for a control of this dialog, by its name; the
    // dialog's own text for the other controls and the dialog itself.
    static std::string helpText(const std::string& controlName);

    // Binds the dialog to the main window (whose resolutions each width
    // change nudges) and the desktop (the font dialog), and installs the
    // width fields' change rule. Call once, at the dialog's creation.
    void install(app::MainForm& form, app::PlatformServices& platform);

    // A border width changed: the layout is nudged, horizontal first.
    void widthChange();
    // Double-click on a text field: the font dialog, loaded with the text's
    // typeface and style; on OK the text takes the typeface and style chosen
    // (size and colour are ignored); on Cancel nothing changes.
    void textDoubleClick(BorderText& text);
    // Options > Advanced Format Options > Set Borders, Headers and Footers...
    void Setborders1Click();

private:
    app::MainForm* form_ = nullptr;
    app::PlatformServices* platform_ = nullptr;
};

}  // namespace quillet::layout
