#include "ui/cleanup_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/bindings.h"
#include "ui/cleanup_steps.h"

namespace quillet::ui {

std::optional<app::CleanUpChoice> runCleanUpDialog(QWidget* parent, const app::CleanUpChoice& initial) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("CleanUpDialog"));
    dialog.setWindowTitle(QStringLiteral("Clean Up Pages"));
    const CleanupStepBoxes steps = cleanupStepBoxes(&dialog, initial.deskew, initial.borders, initial.despeckle);
    auto* destination = new QLineEdit(qs(initial.destination), &dialog);
    destination->setObjectName(QStringLiteral("destination"));
    destination->setMinimumWidth(360);
    destination->setStatusTip(QStringLiteral("The folder the cleaned copies are written to, under their own names."));
    auto* browse = new QPushButton(QStringLiteral("B&rowse..."), &dialog);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        const QString dir = QFileDialog::getExistingDirectory(&dialog, QStringLiteral("Select Directory"),
                                                              destination->text(), QFileDialog::DontUseNativeDialog);
        if (!dir.isEmpty()) destination->setText(dir);
    });
    auto* where = new QHBoxLayout;
    where->addWidget(destination, 1);
    where->addWidget(browse);

    auto* form = new QFormLayout;
    for (QCheckBox* step : {steps.deskew, steps.borders, steps.despeckle}) form->addRow(step);
    auto* label = new QLabel(QStringLiteral("&Destination folder:"), &dialog);
    label->setBuddy(destination);  // a layout as the field leaves the label without one
    form->addRow(label, where);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return app::CleanUpChoice{steps.deskew->isChecked(), steps.borders->isChecked(), steps.despeckle->isChecked(),
                              destination->text().trimmed().toStdString()};
}

}  // namespace quillet::ui
