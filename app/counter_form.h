#pragma once
// The scan counter window (Tcounterform, caption "counter"): the number that
// the acquire command appends to the base file name. Hidden at start; the
// acquire command shows it and reads and steps the counter.

#include "app/number_field.h"
#include "app/window_model.h"

namespace quillet::app {

class CounterForm {
public:
    CounterForm();

    WindowModel window{"Tcounterform", "counter", 0, 0, false};
    // The counter: 1..300, 1 at start.
    NumberField counterspinedit{"counterspinedit", 1, 300, 1, 3, 1};
};

}  // namespace quillet::app
