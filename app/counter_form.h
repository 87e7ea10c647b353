#pragma once
// The scan counter window (Tcounterform, caption "counter"): the number that
// the acquire command appends to the base file name. Hidden at start; the
// acquire command shows it and reads and steps the counter.

#include <string>

#include "app/number_field.h"
#include "app/window_model.h"

namespace quillet::app {

class CounterForm {
public:
    CounterForm();

    // The help text of the window and of the counter field.
    static constexpr const char* kHint =
        "This counter is used to name the next acquired bitmap. It is automatically incremented "
        "after each scan but can also be manually changed (eg. to overwrite the last scan "
        "decrease the counter by 1).";

    WindowModel window{"Tcounterform", "counter", 0, 0, false};
    // The counter: 1..300, 1 at start.
    NumberField counterspinedit{"counterspinedit", 1, 300, 1, 3, 1};
};

// The file name for counter value n: the base file name, n padded to at
// least three digits ("00" below 10, "0" from 10 to 99, none from 100 on)
// and ".bmp": page001.bmp, page010.bmp, page100.bmp.
std::string counterFileName(const std::string& baseName, int n);

}  // namespace quillet::app
