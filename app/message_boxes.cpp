#include "app/message_boxes.h"

namespace quillet::app {

void showNotice(PlatformServices& p, const std::string& text) {
    p.messageBox({MessageKind::Notice, "Quillet", text, {Button::Ok}});
}

void showWarning(PlatformServices& p, const std::string& text) {
    p.messageBox({MessageKind::Warning, "Warning", text, {Button::Ok}});
}

Button askConfirmation(PlatformServices& p, const std::string& text, std::vector<Button> buttons) {
    return p.messageBox({MessageKind::Confirmation, "Confirm", text, std::move(buttons)});
}

Button showInformation(PlatformServices& p, const std::string& text, std::vector<Button> buttons) {
    return p.messageBox({MessageKind::Information, "Information", text, std::move(buttons)});
}

void reportError(PlatformServices& p, const std::string& failureText) {
    p.messageBox({MessageKind::Error, "Quillet", failureText + ".", {Button::Ok}});
}

void reportStop(PlatformServices& p, StatusPanel& panel, const std::string& failureText) {
    panel.setText("Stopped: " + failureText);
    p.processPaintEvents();
    reportError(p, failureText);
}

}  // namespace quillet::app
