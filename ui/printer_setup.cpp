#include "ui/printer_setup.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "ui/desktop_fit.h"

namespace quillet::ui {

namespace {

// The paper list of the printer named `name`, with `keep` chosen when the
// printer has it, else the printer's own default.
void fillPapers(QComboBox* list, std::vector<QPageSize>& papers, const QString& name, const QPageSize& keep) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    papers.clear();
    for (const QPageSize& p : info.supportedPageSizes()) papers.push_back(p);
    if (papers.empty()) papers.push_back(keep);
    list->clear();
    int chosen = -1, fallback = 0;
    for (std::size_t i = 0; i < papers.size(); ++i) {
        list->addItem(papers[i].name());
        if (papers[i].isEquivalentTo(keep)) chosen = int(i);
        if (papers[i].isEquivalentTo(info.defaultPageSize())) fallback = int(i);
    }
    list->setCurrentIndex(chosen >= 0 ? chosen : fallback);
}

}  // namespace

bool runPrinterSetup(QPrinter& printer, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    auto* layout = new QVBoxLayout(&dialog);

    auto* printerGroup = new QGroupBox(QStringLiteral("Printer"), &dialog);
    auto* printerForm = new QFormLayout(printerGroup);
    auto* name = new QComboBox(printerGroup);
    name->setObjectName(QStringLiteral("printer"));
    name->addItems(QPrinterInfo::availablePrinterNames());
    if (name->findText(printer.printerName()) < 0) name->addItem(printer.printerName());
    name->setCurrentText(printer.printerName());
    printerForm->addRow(QStringLiteral("&Name:"), name);
    layout->addWidget(printerGroup);

    auto* paperGroup = new QGroupBox(QStringLiteral("Paper"), &dialog);
    auto* paperForm = new QFormLayout(paperGroup);
    auto* paper = new QComboBox(paperGroup);
    paper->setObjectName(QStringLiteral("paper"));
    std::vector<QPageSize> papers;
    fillPapers(paper, papers, printer.printerName(), printer.pageLayout().pageSize());
    paperForm->addRow(QStringLiteral("Si&ze:"), paper);
    layout->addWidget(paperGroup);
    // Another printer offers its own papers; the one chosen stays when it can.
    QObject::connect(name, &QComboBox::currentTextChanged, &dialog, [&](const QString& chosen) {
        const QPageSize keep = papers.at(std::size_t(std::max(0, paper->currentIndex())));
        fillPapers(paper, papers, chosen, keep);
    });

    auto* orientationGroup = new QGroupBox(QStringLiteral("Orientation"), &dialog);
    auto* orientationRow = new QHBoxLayout(orientationGroup);
    auto* portrait = new QRadioButton(QStringLiteral("P&ortrait"), orientationGroup);
    auto* landscape = new QRadioButton(QStringLiteral("L&andscape"), orientationGroup);
    (printer.pageLayout().orientation() == QPageLayout::Landscape ? landscape : portrait)->setChecked(true);
    orientationRow->addWidget(portrait);
    orientationRow->addWidget(landscape);
    layout->addWidget(orientationGroup);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    finishWindow(&dialog, true);

    if (dialog.exec() != QDialog::Accepted) return false;
    if (name->currentText() != printer.printerName()) printer.setPrinterName(name->currentText());
    if (paper->currentIndex() >= 0) printer.setPageSize(papers.at(std::size_t(paper->currentIndex())));
    printer.setPageOrientation(landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    return true;
}

}  // namespace quillet::ui
