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

    // Sets the text (UTF-8), cut to the length limit in characters (0 =
    // none); onChange runs when the shown text changed.
    void setText(const std::string& t) {
        std::string cut = maxLength_ > 0 ? utf8Prefix(t, maxLength_) : t;
        if (cut == text_) return;
        text_ = std::move(cut);
        viewChanged.emit();
        if (onChange) onChange();
    }

    std::function<void()> onChange;
    Signal viewChanged;

    // The first `characters` code points of a UTF-8 text (all of it when it
    // is shorter). A continuation byte never starts a character, so a
    // letter is never cut in two.
    static std::string utf8Prefix(const std::string& t, int characters) {
        std::size_t end = 0;
        for (int n = 0; end < t.size(); ++end) {
            const bool starts = (static_cast<unsigned char>(t[end]) & 0xC0) != 0x80;
            if (starts && n++ == characters) break;
        }
        return t.substr(0, end);
    }

private:
    std::string name_;
    int maxLength_;
    std::string text_;
};

}  // namespace quillet::app
