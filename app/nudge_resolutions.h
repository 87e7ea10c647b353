#pragma once
// The layout refresh: steps each resolution field up by one and back down,
// so that its change handling recomputes the layout from the current inputs.

#include "app/main_form.h"

namespace quillet::app {

enum class NudgeOrder {
    VerticalFirst,    // ypixelsperinch, then xpixelsperinch (the usual order)
    HorizontalFirst,  // xpixelsperinch, then ypixelsperinch (the borders dialog)
};

// Writes field + 1 then field - 1 for each resolution field in the order
// given, each write reading the field's current value and running its
// handler. A field whose step up is clamped away (it holds its maximum) is
// not stepped down either, so 99999 is never lowered.
void NudgeResolutions(MainForm& form, NudgeOrder order = NudgeOrder::VerticalFirst);

}  // namespace quillet::app
