#include "app/number_field.h"

#include <charconv>

#include "base/scope_guard.h"

namespace quillet::app {

NumberField::NumberField(std::string name, int minimum, int maximum, int step, int maxChars,
                         int value)
    : name_(std::move(name)), minimum_(minimum), maximum_(maximum), step_(step),
      maxChars_(maxChars), text_(std::to_string(value)) {}

int NumberField::value() const {
    // A whole number is an optional sign followed by digits, nothing else
    // (surrounding blanks are tolerated as the text field shows them).
    std::size_t b = text_.find_first_not_of(' ');
    std::size_t e = text_.find_last_not_of(' ');
    if (b == std::string::npos) return minimum_;
    const char* first = text_.data() + b;
    const char* last = text_.data() + e + 1;
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

void NumberField::setValue(int v) { showText(std::to_string(clamp(v))); }

void NumberField::typeText(const std::string& text) {
    const base::ScopedValue typing(typing_, true);
    showText(maxChars_ > 0 && int(text.size()) > maxChars_ ? text.substr(0, maxChars_) : text);
}

void NumberField::focusLost() {
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
