#include "ui/page_import_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/cleanup_steps.h"

namespace quillet::ui {

namespace {

// The destination folder: a path field and a button that picks a folder.
QWidget* folderRow(QDialog& dialog, QLineEdit*& folder, const std::string& initial) {
    auto* row = new QWidget(&dialog);
    folder = new QLineEdit(QString::fromStdString(initial), row);
    folder->setObjectName(QStringLiteral("destination"));
    folder->setMinimumWidth(folder->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    folder->setStatusTip(QStringLiteral("The folder the new pages are written to; it is made when missing. "
                                        "Existing files there are never overwritten."));
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), row);
    browse->setObjectName(QStringLiteral("browseDestination"));
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, folder] {
        const QString chosen = QFileDialog::getExistingDirectory(&dialog, QStringLiteral("Destination Folder"),
                                                                 folder->text());
        if (!chosen.isEmpty()) folder->setText(chosen);
    });
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(folder, 1);
    layout->addWidget(browse);
    return row;
}

}  // namespace

std::optional<app::PageImportChoice> runPageImportDialog(QWidget* parent, const app::PageImportChoice& initial) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("PageImportDialog"));
    dialog.setWindowTitle(QStringLiteral("Import Pages"));
    QLineEdit* folder = nullptr;
    QWidget* destination = folderRow(dialog, folder, initial.directory);
    auto* first = new QSpinBox(&dialog);
    first->setObjectName(QStringLiteral("firstNumber"));
    first->setRange(1, 999999);
    first->setValue(initial.firstNumber);
    first->setStatusTip(QStringLiteral("The number of the first new page (page001.bmp is number 1); a name "
                                       "already taken is passed by."));
    auto* resolution = new QSpinBox(&dialog);
    resolution->setObjectName(QStringLiteral("dpi"));
    resolution->setRange(10, 2400);
    resolution->setSingleStep(50);
    resolution->setValue(initial.dpi);
    resolution->setStatusTip(QStringLiteral("The resolution, in pixels per inch, at which PDF pages are rendered. "
                                            "Scanned PDF pages, TIFF, PNG and JPEG pages keep their own pixels."));
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
    auto* local = new QCheckBox(QStringLiteral("Lo&cal threshold (uneven lighting)"), &dialog);
    local->setObjectName(QStringLiteral("localThreshold"));
    local->setChecked(initial.localThreshold);
    local->setStatusTip(QStringLiteral("Compares each pixel with the light around it, for pages lit unevenly, with "
                                       "a shadow, or photographed."));
    // The level is used only when neither the automatic nor the local threshold is.
    const auto enableLevels = [automatic, level, local] {
        automatic->setEnabled(!local->isChecked());
        level->setEnabled(!local->isChecked() && !automatic->isChecked());
    };
    QObject::connect(automatic, &QCheckBox::toggled, level, enableLevels);
    QObject::connect(local, &QCheckBox::toggled, level, enableLevels);
    enableLevels();

    auto* clean = new QCheckBox(QStringLiteral("C&lean up the pages"), &dialog);
    clean->setObjectName(QStringLiteral("clean"));
    clean->setChecked(initial.clean);
    clean->setStatusTip(QStringLiteral("Straightens skewed pages and removes dark borders and specks of dust "
                                       "before the pages are saved."));
    auto* steps = new QWidget(&dialog);  // indented under the box
    auto* stepRows = new QVBoxLayout(steps);
    stepRows->setContentsMargins(clean->style()->pixelMetric(QStyle::PM_IndicatorWidth) * 2, 0, 0, 0);
    const CleanupStepBoxes boxes = cleanupStepBoxes(steps, initial.deskew, initial.borders, initial.despeckle);
    for (QCheckBox* step : {boxes.deskew, boxes.borders, boxes.despeckle}) {
        stepRows->addWidget(step);
        step->setEnabled(clean->isChecked());
        QObject::connect(clean, &QCheckBox::toggled, step, &QCheckBox::setEnabled);
    }

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Destination folder:"), destination);
    form->addRow(QStringLiteral("&First page number:"), first);
    form->addRow(QStringLiteral("PDF &resolution (pixels/inch):"), resolution);
    form->addRow(automatic);
    form->addRow(QStringLiteral("&Threshold:"), level);
    form->addRow(local);
    form->addRow(clean);
    form->addRow(steps);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // No destination, nothing to import into.
    QObject::connect(folder, &QLineEdit::textChanged, buttons, [buttons](const QString& text) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!text.trimmed().isEmpty());
    });
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!folder->text().trimmed().isEmpty());
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    app::PageImportChoice choice;
    choice.dpi = resolution->value();
    choice.automaticThreshold = automatic->isChecked();
    choice.threshold = level->value();
    choice.directory = folder->text().trimmed().toStdString();
    choice.firstNumber = first->value();
    choice.localThreshold = local->isChecked();
    choice.clean = clean->isChecked();
    choice.deskew = boxes.deskew->isChecked();
    choice.borders = boxes.borders->isChecked();
    choice.despeckle = boxes.despeckle->isChecked();
    return choice;
}

}  // namespace quillet::ui
