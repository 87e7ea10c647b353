#pragma once
// A one-line text field with a length limit.

#include <functional>
#include <string>

#include "app/signal.h"

namespace quillet::app {

class TextField {
public:
    TextField(std::string name, int maxLength, std::string text = {})
        : name_(std::move(name)), maxLength_(maxLength), text_(std::move(text)) {}

    const std::string& name() const { return name_; }
    const std::string& text() const { return text_; }
    int maxLength() const { return maxLength_; }

    // Sets the text, cut to the length limit (0 = none); onChange runs when
    // the shown text changed.
    void setText(const std::string& t) {
        std::string cut = maxLength_ > 0 && int(t.size()) > maxLength_ ? t.substr(0, maxLength_) : t;
        if (cut == text_) return;
        text_ = std::move(cut);
        viewChanged.emit();
        if (onChange) onChange();
    }

    std::function<void()> onChange;
    Signal viewChanged;

private:
    std::string name_;
    int maxLength_;
    std::string text_;
};

}  // namespace quillet::app
