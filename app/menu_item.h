#pragma once
// A menu command or check item, and the hint the help window shows for it.

#include <functional>
#include <string>

#include "app/signal.h"

namespace quillet::app {

class MenuItem {
public:
    MenuItem(std::string name, std::string caption, std::string shortcut = {},
             std::string hint = {}, bool checked = false, bool enabled = true)
        : name_(std::move(name)), caption_(std::move(caption)), shortcut_(std::move(shortcut)),
          hint_(std::move(hint)), checked_(checked), enabled_(enabled) {}

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    // Shortcut in Qt's portable text form ("Ctrl+O", "F12"), empty for none.
    const std::string& shortcut() const { return shortcut_; }
    const std::string& hint() const { return hint_; }
    bool checked() const { return checked_; }
    bool enabled() const { return enabled_; }
    bool visible() const { return visible_; }

    void setCaption(std::string c) { caption_ = std::move(c); viewChanged.emit(); }
    void setHint(std::string h) { hint_ = std::move(h); viewChanged.emit(); }
    void setChecked(bool c) { if (checked_ != c) { checked_ = c; viewChanged.emit(); } }
    void setEnabled(bool e) { if (enabled_ != e) { enabled_ = e; viewChanged.emit(); } }
    void setVisible(bool v) { if (visible_ != v) { visible_ = v; viewChanged.emit(); } }

    // The user chose the item (menu click or shortcut). A disabled item does
    // nothing; the handler decides what a check item's mark becomes.
    void click() { if (enabled_ && onClick) onClick(); }

    std::function<void()> onClick;
    Signal viewChanged;

private:
    std::string name_;
    std::string caption_;
    std::string shortcut_;
    std::string hint_;
    bool checked_;
    bool enabled_;
    bool visible_ = true;
};

}  // namespace quillet::app
