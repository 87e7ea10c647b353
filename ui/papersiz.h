#pragma once
// Tsetpapersize, the printed size dialog: the size choice above a framed row
// with the width ("x:") and height ("y:") fields, in millimetres. Mirrors
// output::PrintedSizeDialog.

#include <QWidget>

#include "output/printed_size_dialog.h"

class QComboBox;

namespace quillet::ui {

class NumberEdit;

class Tsetpapersize : public QWidget {
    Q_OBJECT
public:
    explicit Tsetpapersize(output::PrintedSizeDialog& dialog);

    // The controls: ComboBox1, SpinEdit1 (width), SpinEdit2 (height).

    QComboBox* choice() const { return ComboBox1_; }
    NumberEdit* widthField() const { return SpinEdit1_; }
    NumberEdit* heightField() const { return SpinEdit2_; }

private:
    void syncChoice();

    output::PrintedSizeDialog& dialog_;
    QComboBox* ComboBox1_ = nullptr;
    NumberEdit* SpinEdit1_ = nullptr;
    NumberEdit* SpinEdit2_ = nullptr;
};

}  // namespace quillet::ui
