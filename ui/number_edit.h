#pragma once
// A spin edit that mirrors one NumberField exactly: the shown text is the
// model's text, typing goes to typeText(), the arrows (buttons, Up/Down
// keys, wheel) to stepUp()/stepDown(), leaving the field to focusLost().

#include <QAbstractSpinBox>

#include "app/number_field.h"

namespace quillet::ui {

class NumberEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    // Shows `field`, which must outlive the widget's use of it (the models
    // outlive the windows).
    NumberEdit(app::NumberField& field, QWidget* parent = nullptr);

    app::NumberField& field() { return field_; }
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
    void wheelEvent(QWheelEvent* event) override;

private:
    app::NumberField& field_;
    bool syncing_ = false;
};

}  // namespace quillet::ui
