#include "app/nudge_resolutions.h"

namespace quillet::app {

namespace {

void nudge(NumberField& field) {
    int v = field.value();
    bool clampedAway = field.clamp(v + 1) == v;
    field.setValue(v + 1);
    if (clampedAway) return;
    field.setValue(field.value() - 1);
}

}  // namespace

void NudgeResolutions(MainForm& form, NudgeOrder order) {
    if (order == NudgeOrder::VerticalFirst) {
        nudge(form.ypixelsperinch);
        nudge(form.xpixelsperinch);
    } else {
        nudge(form.xpixelsperinch);
        nudge(form.ypixelsperinch);
    }
}

}  // namespace quillet::app
