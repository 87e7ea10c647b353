#pragma once
// The message boxes of the system with their captions and buttons.

#include <string>

#include "app/platform_services.h"
#include "app/status_panel.h"

namespace quillet::app {

// Notice: caption "Quillet", no icon, OK.
void showNotice(PlatformServices& p, const std::string& text);
// Warning: caption "Warning", exclamation mark, OK.
void showWarning(PlatformServices& p, const std::string& text);
// Confirmation: caption "Confirm", question mark, with the given buttons.
Button askConfirmation(PlatformServices& p, const std::string& text, std::vector<Button> buttons);
// Information: caption "Information", information sign, with the buttons.
Button showInformation(PlatformServices& p, const std::string& text, std::vector<Button> buttons);
// The general error report: caption "Quillet", error icon, OK, holding the
// failure's own text followed by ".".
void reportError(PlatformServices& p, const std::string& failureText);
// A command that stops part-way: the status panel says so and why
// ("Stopped: " + the failure's text), then the general error report.
void reportStop(PlatformServices& p, StatusPanel& panel, const std::string& failureText);

}  // namespace quillet::app
