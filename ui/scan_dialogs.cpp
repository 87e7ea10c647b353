#include "ui/scan_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "acquire/scan_dialog.h"
#include "ui/bindings.h"

namespace quillet::ui {

void QtScannerDialogs::makeOwned(QDialog& dialog) const {
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (owner_) dialog.setWindowModality(Qt::WindowModal);
}

std::optional<int> QtScannerDialogs::chooseSource(const std::vector<acquire::DeviceInfo>& devices, int current) {
    QDialog dlg(owner_);
    dlg.setWindowTitle("Select Source");
    makeOwned(dlg);
    auto* layout = new QVBoxLayout(&dlg);
    auto* list = new QTreeWidget(&dlg);
    list->setHeaderLabels({"Name", "Vendor", "Model", "Type"});
    list->setRootIsDecorated(false);
    for (const acquire::DeviceInfo& d : devices)
        list->addTopLevelItem(new QTreeWidgetItem({qs(d.name), qs(d.vendor), qs(d.model), qs(d.type)}));
    list->setCurrentItem(list->topLevelItem(current >= 0 ? current : 0));
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dlg, &QDialog::accept);
    layout->addWidget(buttons);
    dlg.resize(560, 240);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const int i = list->indexOfTopLevelItem(list->currentItem());
    if (i < 0) return std::nullopt;
    return i;
}

void QtScannerDialogs::runScanDialog(acquire::ScanDialog& model) {
    QDialog dlg(owner_);
    dlg.setWindowTitle(qs(model.caption()));
    makeOwned(dlg);
    auto* layout = new QVBoxLayout(&dlg);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const acquire::DeviceChoices& c = model.choices();
    auto* mode = new QComboBox(&dlg);
    for (acquire::ScanMode m : c.modes) mode->addItem(acquire::modeLabel(m));
    auto* resolution = new QComboBox(&dlg);
    for (int dpi : c.resolutions) resolution->addItem(QString::number(dpi) + " dpi");
    auto* source = new QComboBox(&dlg);
    for (const std::string& s : c.sources) source->addItem(qs(s));
    if (!c.modes.empty()) form->addRow("&Mode", mode);
    if (!c.resolutions.empty()) form->addRow("&Resolution", resolution);
    if (!c.sources.empty()) form->addRow("S&ource", source);
    auto* clean = new QCheckBox("C&lean up line-art pages", &dlg);
    clean->setChecked(model.settings().clean);
    clean->setStatusTip("Straightens each line-art page and removes dark borders and specks before it is saved.");
    form->addRow(clean);
    mode->setCurrentIndex(model.modeIndex());
    resolution->setCurrentIndex(model.resolutionIndex());
    source->setCurrentIndex(model.sourceIndex());
    auto* progress = new QProgressBar(&dlg);
    progress->setRange(0, 100);
    progress->setValue(0);
    layout->addWidget(progress);
    auto* status = new QLabel(&dlg);
    status->setWordWrap(true);
    layout->addWidget(status);
    auto* buttons = new QDialogButtonBox(&dlg);
    QPushButton* scan = buttons->addButton("&Scan", QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    scan->setDefault(true);
    layout->addWidget(buttons);

    QTimer reader;
    reader.setSingleShot(true);
    auto update = [&] {
        const bool busy = model.reading();
        for (QWidget* w : {static_cast<QWidget*>(mode), static_cast<QWidget*>(resolution),
                           static_cast<QWidget*>(source), static_cast<QWidget*>(clean), static_cast<QWidget*>(scan)})
            w->setEnabled(!busy);
        const int p = model.progress();
        if (p < 0) progress->setRange(0, 0);  // height not known: a moving bar
        else {
            progress->setRange(0, 100);
            progress->setValue(p);
        }
        status->setText(qs(model.status()));
        if (model.finished()) dlg.done(QDialog::Accepted);
        else if (busy && !reader.isActive()) reader.start(model.waiting() ? 10 : 0);
    };
    model.changed.connect([&] { update(); });
    QObject::connect(&reader, &QTimer::timeout, &dlg, [&] { model.step(); });
    QObject::connect(scan, &QPushButton::clicked, &dlg, [&] {
        model.chooseMode(mode->currentIndex());
        model.chooseResolution(resolution->currentIndex());
        model.chooseSource(source->currentIndex());
        model.chooseClean(clean->isChecked());
        model.scan();
    });
    QObject::connect(cancel, &QPushButton::clicked, &dlg, [&] { model.cancel(); });
    // The close box and Escape are Cancel too.
    QObject::connect(&dlg, &QDialog::rejected, &dlg, [&] { model.cancel(); });
    update();
    dlg.exec();
    reader.stop();
    model.cancel();
}

}  // namespace quillet::ui
