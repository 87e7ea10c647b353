#pragma once
// TTabbedNotebookDlg, the justification dialog: a notebook with the pages
// "Horizontal Justification" (Left, Centre, Right) and "Vertical
// Justification" (Top, Centre, Bottom). Mirrors layout::JustificationDialog:
// its radio buttons and the page shown.

#include <QWidget>
#include <array>

#include "layout/justification_dialog.h"

class QRadioButton;
class QTabWidget;

namespace quillet::ui {

class TTabbedNotebookDlg : public QWidget {
    Q_OBJECT
public:
    explicit TTabbedNotebookDlg(layout::JustificationDialog& dialog);

    // The notebook `Justification`.
    QTabWidget* notebook() const { return Justification_; }
    // left, centreh, right, top, centre, bottom.
    QRadioButton* radio(int i) const { return radios_.at(std::size_t(i)); }

private:
    void sync();

    layout::JustificationDialog& dialog_;
    QTabWidget* Justification_ = nullptr;
    std::array<QRadioButton*, 6> radios_{};
};

}  // namespace quillet::ui
