#pragma once
// Tcounterform, the scan counter window: caption "counter", a dialog frame
// without title-bar buttons, always on top, holding only the counter field.
// Mirrors app::CounterForm.

#include <QWidget>

#include "app/counter_form.h"

namespace quillet::ui {

class NumberEdit;

class Tcounterform : public QWidget {
    Q_OBJECT
public:
    explicit Tcounterform(app::CounterForm& form);

    // The counter field (counterspinedit).
    NumberEdit* counter() const { return counterspinedit_; }

protected:
    // There is no close box: the acquire command alone hides the window.
    void closeEvent(QCloseEvent* event) override;

private:
    app::CounterForm& form_;
    NumberEdit* counterspinedit_ = nullptr;
};

}  // namespace quillet::ui
