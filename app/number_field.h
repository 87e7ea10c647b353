#pragma once
// A whole-number field with up/down arrows: the model behind every spin edit.

#include <functional>
#include <string>

#include "app/focus_move.h"
#include "app/signal.h"

namespace quillet::app {

// Holds the committed text; the value is read from it. Rules every field
// shares:
// - reading a text that is not a whole number yields the current minimum;
// - writing a value clamps it into [minimum, maximum] unless they are equal;
// - onChange runs whenever the committed text changes: at once for writes by
//   the program, the arrows and the wheel; writing the text already shown
//   changes nothing and runs nothing;
// - what the user types is only shown (editText()) until it is committed
//   (Enter, leaving the field, an arrow step): then it is read once, as the
//   typed number clamped into the range, and handled like a program write.
//   Until then value() is the last committed value, so a command started
//   meanwhile never sees a half-typed number.
class NumberField {
public:
    NumberField(std::string name, int minimum, int maximum, int step, int maxChars, int value);

    const std::string& name() const { return name_; }
    // The committed text.
    const std::string& text() const { return text_; }
    // What the field shows: the text being typed, else the committed text.
    const std::string& editText() const { return editing_ ? typed_ : text_; }
    // Whether typed text waits for its commit.
    bool editing() const { return editing_; }
    // The committed number, or the minimum when the text is not a whole number.
    int value() const;

    // Program write: clamps, shows the decimal text, runs onChange when the
    // text changed. Text being typed is dropped.
    void setValue(int v);
    // The user typed: the text is shown as it is (cut to maxChars) and held;
    // nothing runs.
    void typeText(const std::string& text);
    // Enter: the typed text, if any, is committed (see above).
    void commit();
    // Focus left the field: commits, then an out-of-range value (a range
    // changed since the last write) is written clamped. A window losing the
    // activation (a modal box over it, another window) or a pop-up menu is
    // not the user leaving the field: nothing happens then.
    void focusLost(FocusMove how = FocusMove::BetweenControls);
    // The arrow buttons and the wheel: commits, then value +/- step, clamped
    // like any write.
    void stepUp() { commit(); setValue(value() + step_); }
    void stepDown() { commit(); setValue(value() - step_); }

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

    // The clamp rule: v limited to the range unless minimum == maximum.
    int clamp(int v) const;
    // The number a text spells, or the minimum when it is not a whole number.
    int parse(const std::string& text) const;

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
    std::string typed_;
    bool editing_ = false;
    bool enabled_ = true;
};

}  // namespace quillet::app
