#pragma once
// The borders dialog (Tsetbordersheadersfootersdialog): eight border widths
// in whole millimetres and four header/footer texts, each with its own font.
// The values of its controls are the settings, in force at once.

#include "app/number_field.h"
#include "app/platform_services.h"
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
};

}  // namespace quillet::layout
