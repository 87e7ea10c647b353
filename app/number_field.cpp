#include "app/number_field.h"

#include <charconv>

namespace quillet::app {

NumberField::NumberField(std::string name, int minimum, int maximum, int step, int maxChars,
                         int value)
    : name_(std::move(name)), minimum_(minimum), maximum_(maximum), step_(step),
      maxChars_(maxChars), text_(std::to_string(value)) {}

int NumberField::value() const { return parse(text_); }

int NumberField::parse(const std::string& text) const {
    // A whole number is an optional sign followed by digits, nothing else
    // (surrounding blanks are tolerated as the text field shows them).
    std::size_t b = text.find_first_not_of(' ');
    std::size_t e = text.find_last_not_of(' ');
    if (b == std::string::npos) return minimum_;
    const char* first = text.data() + b;
    const char* last = text.data() + e + 1;
    if (*first == '+') ++first;
    int v = 0;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last) return minimum_;
    return v;
}

int NumberField::clamp(int v) const {
    if (maximum_ == minimum_) return v;
    if (v < minimum_) return minimum_;
    if (v > maximum_) return maximum_;
    return v;
}

void NumberField::setValue(int v) {
    if (editing_) {
        // The program's write replaces what was being typed.
        editing_ = false;
        typed_.clear();
        viewChanged.emit();
    }
    showText(std::to_string(clamp(v)));
}

void NumberField::typeText(const std::string& text) {
    std::string shown =
        maxChars_ > 0 && int(text.size()) > maxChars_ ? text.substr(0, maxChars_) : text;
    if (editText() == shown) return;
    typed_ = std::move(shown);
    editing_ = true;
    viewChanged.emit();
}

void NumberField::commit() {
    if (!editing_) return;
    const int typed = parse(typed_);
    editing_ = false;
    typed_.clear();
    viewChanged.emit();  // the typed text gives way to the committed one
    showText(std::to_string(clamp(typed)));
}

void NumberField::focusLost(FocusMove how) {
    if (how != FocusMove::BetweenControls) return;
    commit();
    int v = value();
    if (clamp(v) != v) setValue(v);
}

void NumberField::setEnabled(bool e) {
    if (enabled_ == e) return;
    enabled_ = e;
    viewChanged.emit();
}

void NumberField::showText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    viewChanged.emit();
    if (onChange) onChange();
}

}  // namespace quillet::app
