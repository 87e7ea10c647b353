#pragma once
// How the OK command reports progress: every status text replaces the panel's
// text and lets the views paint at once; after each page, row or piece the
// main window is brought to the front.

#include <string>

#include "app/main_form.h"
#include "app/platform_services.h"

namespace quillet::layout {

class CompositionStatus {
public:
    CompositionStatus(app::MainForm& form, app::PlatformServices& platform)
        : form_(form), platform_(platform) {}

    // Writes a status text and repaints.
    void say(std::string&& text) {
        form_.Panel1.setText(std::move(text));
        platform_.processPaintEvents();
    }
    void say(const std::string& text) {
        form_.Panel1.setText(text);
        platform_.processPaintEvents();
    }
    // Brings the main window to the front.
    void front() { form_.window.bringToFront(); }

private:
    app::MainForm& form_;
    app::PlatformServices& platform_;
};

}  // namespace quillet::layout
