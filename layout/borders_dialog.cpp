#include "layout/borders_dialog.h"

#include "app/nudge_resolutions.h"

namespace quillet::layout {

BordersDialog::BordersDialog() = default;

std::array<app::NumberField*, 8> BordersDialog::widthFields() {
    return {&topint, &bottomint, &leftint, &rightint, &topext, &bottomext, &leftext, &rightext};
}

std::array<BorderText*, 4> BordersDialog::texts() { return {&inthead, &intfoot, &exthead, &extfoot}; }

std::string BordersDialog::helpText(const std::string& controlName) {
    if (controlName == "topint" || controlName == "bottomint") return kTopBottomIntHelp;
    if (controlName == "inthead" || controlName == "intfoot" || controlName == "exthead" ||
        controlName == "extfoot")
        return kTextFieldHelp;
    return kDialogHelp;
}

void BordersDialog::install(app::MainForm& form, app::PlatformServices& platform) {
    form_ = &form;
    platform_ = &platform;
    for (app::NumberField* field : widthFields()) field->onChange = [this] { widthChange(); };
    form.Setborders1.setHint(kSetborders1Hint);
}

void BordersDialog::widthChange() {
    if (form_) app::NudgeResolutions(*form_, app::NudgeOrder::HorizontalFirst);
}

void BordersDialog::textDoubleClick(BorderText& text) {
    if (!platform_) return;
    std::optional<app::FontChoice> chosen = platform_->chooseFont(text.font);
    if (!chosen) return;
    // Only the typeface and the style are settings; the size is set from the
    // border when the text is drawn.
    const int pointSize = text.font.pointSize;
    text.font = *chosen;
    text.font.pointSize = pointSize;
    text.fontChanged.emit();
}

void BordersDialog::Setborders1Click() { window.show(); }

}  // namespace quillet::layout
