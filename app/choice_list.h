#pragma once
// A drop-down list without free text.

#include <functional>
#include <string>
#include <vector>

#include "app/focus_move.h"
#include "app/signal.h"

namespace quillet::app {

class ChoiceList {
public:
    ChoiceList(std::string name, std::vector<std::string> items, int index = 0)
        : name_(std::move(name)), items_(std::move(items)), index_(index) {}

    const std::string& name() const { return name_; }
    const std::vector<std::string>& items() const { return items_; }
    int itemIndex() const { return index_; }
    const std::string& currentText() const { return items_.at(std::size_t(index_)); }

    // Program selection: no change handler runs. Precondition: valid index.
    void setItemIndex(int i) { if (index_ != i) { index_ = i; viewChanged.emit(); } }
    // Replaces one item's caption; the selection stays.
    void setItem(int i, std::string caption) {
        items_.at(std::size_t(i)) = std::move(caption);
        viewChanged.emit();
    }
    // The user picked an item: it becomes selected, then onChange runs.
    void userSelect(int i) {
        setItemIndex(i);
        if (onChange) onChange();
    }
    // The list received the keyboard focus: onFocus runs only when the focus
    // came from another control, not when the window got the activation back.
    void focusIn(FocusMove how = FocusMove::BetweenControls) {
        if (how == FocusMove::BetweenControls && onFocus) onFocus();
    }

    bool enabled() const { return enabled_; }
    void setEnabled(bool e) { if (enabled_ != e) { enabled_ = e; viewChanged.emit(); } }

    // A free integer kept with the control (the compression list keeps the
    // number of blank rows per gap in it).
    int tag = 0;

    std::function<void()> onChange;
    std::function<void()> onFocus;
    Signal viewChanged;

private:
    std::string name_;
    std::vector<std::string> items_;
    int index_;
    bool enabled_ = true;
};

}  // namespace quillet::app
