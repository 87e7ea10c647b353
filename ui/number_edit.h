#pragma once
// A spin edit that mirrors one NumberField exactly: the shown text is the
// model's edit text, typing goes to typeText(), Enter to commit(), the arrows
// (buttons, Up/Down keys, wheel) to stepUp()/stepDown(), leaving the field
// to focusLost().

#include <QAbstractSpinBox>

#include "app/number_field.h"

namespace quillet::ui {

class NumberEdit : public QAbstractSpinBox {
    Q_OBJECT
    // What screen readers read as the field's value and range: the committed
    // number and the model's current range.
    Q_PROPERTY(int value READ value)
    Q_PROPERTY(int minimum READ minimum)
    Q_PROPERTY(int maximum READ maximum)
public:
    // Shows `field`, which must outlive the widget's use of it (the models
    // outlive the windows).
    NumberEdit(app::NumberField& field, QWidget* parent = nullptr);

    app::NumberField& field() { return field_; }
    int value() const { return field_.value(); }
    int minimum() const { return field_.minimum(); }
    int maximum() const { return field_.maximum(); }
    // Model -> widget: text (keeping the cursor where it was when possible),
    // length limit and availability.
    void sync();

    // The arrows: each step up or down is one stepUp()/stepDown() of the
    // model, which clamps and runs its change handler.
    void stepBy(int steps) override;
    // Wide enough for the field's character limit and the arrows.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    app::NumberField& field_;
    bool syncing_ = false;
};

}  // namespace quillet::ui
