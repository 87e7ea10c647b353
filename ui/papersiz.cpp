#include "ui/papersiz.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/bindings.h"
#include "ui/number_edit.h"

namespace quillet::ui {

Tsetpapersize::Tsetpapersize(output::PrintedSizeDialog& dialog) : dialog_(dialog) {
    using D = output::PrintedSizeDialog;
    setStatusTip(QString::fromUtf8(D::kDialogHelp));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(8);

    ComboBox1_ = new QComboBox(this);
    ComboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1_->setStatusTip(QString::fromUtf8(D::kComboBox1Help));
    ComboBox1_->setAccessibleName(QStringLiteral("Printed size"));
    connect(ComboBox1_, &QComboBox::activated, this, [this](int i) {
        dialog_.ComboBox1.userSelect(i);
        syncChoice();
    });
    onSignal(dialog_.ComboBox1.viewChanged, this, [](Tsetpapersize* w) { w->syncChoice(); });
    outer->addWidget(ComboBox1_);

    auto* frame = new QGroupBox(this);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(6);
    SpinEdit1_ = new NumberEdit(dialog_.SpinEdit1, frame);
    SpinEdit1_->setStatusTip(QString::fromUtf8(D::kSpinEdit1Help));
    SpinEdit1_->setAccessibleName(QStringLiteral("x: width (mm)"));
    SpinEdit2_ = new NumberEdit(dialog_.SpinEdit2, frame);
    SpinEdit2_->setStatusTip(QString::fromUtf8(D::kSpinEdit2Help));
    SpinEdit2_->setAccessibleName(QStringLiteral("y: height (mm)"));
    auto* x = new QLabel(QStringLiteral("&x:"), frame);
    x->setBuddy(SpinEdit1_);
    auto* y = new QLabel(QStringLiteral("&y:"), frame);
    y->setBuddy(SpinEdit2_);
    row->addWidget(x);
    row->addWidget(SpinEdit1_);
    row->addSpacing(10);
    row->addWidget(y);
    row->addWidget(SpinEdit2_);
    outer->addWidget(frame);

    syncChoice();
    bindDialog(this, dialog_.window, true);
}

void Tsetpapersize::syncChoice() { ui::syncChoice(ComboBox1_, dialog_.ComboBox1); }

}  // namespace quillet::ui
