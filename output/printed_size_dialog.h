#pragma once
// The printed size dialog (Tsetpapersize): the size in whole millimetres to
// which a bitmap is stretched when printed. Its fields are the settings.

#include "app/choice_list.h"
#include "app/number_field.h"
#include "app/window_model.h"

namespace quillet::output {

class PrintedSizeDialog {
public:
    app::WindowModel window{"Tsetpapersize", "Set Printed Size (mm)", 0, 0, false};

    app::NumberField SpinEdit1{"SpinEdit1", 10, 999, 1, 3, 210};  // printed width
    app::NumberField SpinEdit2{"SpinEdit2", 10, 999, 1, 3, 297};  // printed height
    app::ChoiceList ComboBox1{"ComboBox1", {"A5", "A4", "A3", "User Defined", "Page Size"}, 4};
    bool SizeEditByUser = true;

    int widthMm() const { return SpinEdit1.value(); }
    int heightMm() const { return SpinEdit2.value(); }
};

}  // namespace quillet::output
