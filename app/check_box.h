#pragma once
// A check box; its change handler runs on every change of the checked state,
// whether the user or the program changed it.

#include <functional>
#include <string>

#include "app/signal.h"

namespace quillet::app {

class CheckBox {
public:
    CheckBox(std::string name, std::string caption, std::string hint = {})
        : name_(std::move(name)), caption_(std::move(caption)), hint_(std::move(hint)) {}

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    const std::string& hint() const { return hint_; }
    bool checked() const { return checked_; }
    bool enabled() const { return enabled_; }

    // Sets the state; when it changes, the view is told and onChange runs
    // (which may itself change the state again: nested runs are allowed).
    void setChecked(bool c) {
        if (checked_ == c) return;
        checked_ = c;
        viewChanged.emit();
        if (onChange) onChange();
    }
    // The user clicked the box: flips it when enabled.
    void click() { if (enabled_) setChecked(!checked_); }
    void setEnabled(bool e) { if (enabled_ != e) { enabled_ = e; viewChanged.emit(); } }

    std::function<void()> onChange;
    Signal viewChanged;

private:
    std::string name_;
    std::string caption_;
    std::string hint_;
    bool checked_ = false;
    bool enabled_ = true;
};

}  // namespace quillet::app
