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

namespace quillet::ui {

namespace {

QCheckBox* step(QDialog& dialog, const char* name, const char* caption, const char* tip, bool on) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), &dialog);
    box->setObjectName(QString::fromUtf8(name));
    box->setChecked(on);
    box->setStatusTip(QString::fromUtf8(tip));
    return box;
}

}  // namespace

std::optional<app::CleanUpChoice> runCleanUpDialog(QWidget* parent, const app::CleanUpChoice& initial) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("CleanUpDialog"));
    dialog.setWindowTitle(QStringLiteral("Clean Up Pages"));
    QCheckBox* deskew = step(dialog, "deskew", "&Straighten skewed pages",
                             "Measures the slant of the text lines and turns the page back when it is slanted.",
                             initial.deskew);
    QCheckBox* borders = step(dialog, "borders", "Remove dark &borders",
                              "Removes the scanner's shadows, a book's gutter, the edge of the next page and "
                              "punched holes along the edges, so that autocrop finds the text.",
                              initial.borders);
    QCheckBox* specks = step(dialog, "despeckle", "Remove s&pecks",
                             "Removes specks of dust smaller than a quarter of a millimetre; dots and accents of "
                             "the text stay.",
                             initial.despeckle);
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
    form->addRow(deskew);
    form->addRow(borders);
    form->addRow(specks);
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
    return app::CleanUpChoice{deskew->isChecked(), borders->isChecked(), specks->isChecked(),
                              destination->text().trimmed().toStdString()};
}

}  // namespace quillet::ui
