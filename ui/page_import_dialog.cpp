#include "ui/page_import_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quillet::ui {

std::optional<app::PageImportChoice> runPageImportDialog(QWidget* parent, const app::PageImportChoice& initial) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("PageImportDialog"));
    dialog.setWindowTitle(QStringLiteral("Import Pages"));
    auto* resolution = new QSpinBox(&dialog);
    resolution->setObjectName(QStringLiteral("dpi"));
    resolution->setRange(10, 2400);
    resolution->setSingleStep(50);
    resolution->setValue(initial.dpi);
    resolution->setStatusTip(QStringLiteral("The resolution, in pixels per inch, at which PDF pages are rendered. "
                                            "TIFF, PNG and JPEG pages keep their own pixels."));
    auto* automatic = new QCheckBox(QStringLiteral("&Automatic threshold"), &dialog);
    automatic->setObjectName(QStringLiteral("automaticThreshold"));
    automatic->setChecked(initial.automaticThreshold);
    automatic->setStatusTip(QStringLiteral("Chooses for each grey or colour page the level that best separates ink "
                                           "from paper. Pages that are already black and white are kept as they are."));
    auto* level = new QSpinBox(&dialog);
    level->setObjectName(QStringLiteral("threshold"));
    level->setRange(0, 255);
    level->setValue(initial.threshold);
    level->setEnabled(!initial.automaticThreshold);
    level->setStatusTip(QStringLiteral("Grey values up to this level (0 black .. 255 white) become black."));
    QObject::connect(automatic, &QCheckBox::toggled, level, [level](bool on) { level->setEnabled(!on); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("PDF &resolution (pixels/inch):"), resolution);
    form->addRow(automatic);
    form->addRow(QStringLiteral("&Threshold:"), level);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return app::PageImportChoice{resolution->value(), automatic->isChecked(), level->value()};
}

}  // namespace quillet::ui
