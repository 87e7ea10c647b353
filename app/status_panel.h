#pragma once
// The one-line status panel at the foot of the main window. Every write
// replaces the text and asks the view to repaint at once.

#include <string>

#include "app/signal.h"

namespace quillet::app {

class StatusPanel {
public:
    const std::string& text() const { return text_; }
    // Replaces the text (even with the same text: the repaint still happens)
    // and emits `written`, which the view answers by repainting.
    void setText(std::string&& t) {
        text_ = std::move(t);
        written.emit();
    }
    // The same, keeping the panel's own store (for texts written row by row).
    void setText(const std::string& t) {
        text_.assign(t);
        written.emit();
    }
    void clear() { setText({}); }

    Signal written;

private:
    std::string text_;
};

}  // namespace quillet::app
