#pragma once
// Tsetbordersheadersfootersdialog, the borders dialog: a framed block of the
// eight border widths (columns "Internal" and "External", rows top, bottom,
// left, right, in mm), then the four header and footer texts, each shown in
// its own typeface and style. A double-click on a text asks the model for
// the font choice. Mirrors layout::BordersDialog.

#include <QWidget>
#include <array>

#include "layout/borders_dialog.h"

class QLineEdit;

namespace quillet::ui {

class NumberEdit;

class Tsetbordersheadersfootersdialog : public QWidget {
    Q_OBJECT
public:
    explicit Tsetbordersheadersfootersdialog(layout::BordersDialog& dialog);

    // The text fields in the model's order: inthead, intfoot, exthead, extfoot.
    QLineEdit* textField(int i) const { return texts_.at(std::size_t(i)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* makeText(layout::BorderText& text);
    void syncText(QLineEdit* edit, const layout::BorderText& text);

    layout::BordersDialog& dialog_;
    std::array<QLineEdit*, 4> texts_{};
};

}  // namespace quillet::ui
