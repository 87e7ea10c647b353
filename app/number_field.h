#pragma once
// A whole-number field with up/down arrows: the model behind every spin edit.

#include <functional>
#include <string>

#include "app/signal.h"

namespace quillet::app {

// Holds the shown text; the value is read from it. Rules every field shares:
// - reading a text that is not a whole number yields the current minimum;
// - writing a value clamps it into [minimum, maximum] unless they are equal;
// - typing may leave an out-of-range value until focus is lost, then clamped;
// - onChange runs whenever the shown text changes, by user or program; writing
//   the text already shown changes nothing and runs nothing.
class NumberField {
public:
    NumberField(std::string name, int minimum, int maximum, int step, int maxChars, int value);

    const std::string& name() const { return name_; }
    const std::string& text() const { return text_; }
    // The shown number, or the minimum when the text is not a whole number.
    int value() const;

    // Program or arrow write: clamps, shows the decimal text, runs onChange
    // when the text changed.
    void setValue(int v);
    // The user typed: shows the text as it is (cut to maxChars), runs onChange
    // when it changed. No clamping until focus is lost.
    void typeText(const std::string& text);
    // Focus left the field: an out-of-range value is written clamped.
    void focusLost();
    // The arrow buttons: value +/- step, clamped like any write.
    void stepUp() { setValue(value() + step_); }
    void stepDown() { setValue(value() - step_); }

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int step() const { return step_; }
    int maxChars() const { return maxChars_; }
    // Range and step changes never change the current value or text.
    void setMinimum(int m) { minimum_ = m; viewChanged.emit(); }
    void setMaximum(int m) { maximum_ = m; viewChanged.emit(); }
    void setStep(int s) { step_ = s; viewChanged.emit(); }

    bool enabled() const { return enabled_; }
    void setEnabled(bool e);

    // True while onChange runs for text the user is typing (not yet
    // confirmed by leaving the field): handlers that would overwrite a
    // partly typed number can wait for focusLost instead.
    bool typing() const { return typing_; }

    // The clamp rule: v limited to the range unless minimum == maximum.
    int clamp(int v) const;

    // The change handler (set by the part of the system that owns the rule).
    std::function<void()> onChange;
    // Emitted after any change that a view must mirror (text, range, enabled).
    Signal viewChanged;

private:
    void showText(const std::string& text);

    std::string name_;
    int minimum_;
    int maximum_;
    int step_;
    int maxChars_;
    std::string text_;
    bool enabled_ = true;
    bool typing_ = false;
};

}  // namespace quillet::app
