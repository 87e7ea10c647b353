#pragma once
// The scanner layer's two windows: Select Source (the SANE devices by name,
// vendor, model and type) and the scanner's own dialog (mode, resolution,
// source, Scan and Cancel, a progress bar while the page is read). The page
// is read in short steps from a timer, so the dialog repaints and takes
// Cancel while the scanner works.
//
// Both are modal to the main window only: the counter and the viewer, which
// the acquire command shows, keep taking input while they wait.

#include <QPointer>
#include <QWidget>

#include "acquire/twain.h"

class QDialog;

namespace quillet::ui {

class QtScannerDialogs : public acquire::ScannerDialogs {
public:
    // `owner`: the main window (null: modal to the whole application).
    explicit QtScannerDialogs(QWidget* owner = nullptr) : owner_(owner) {}

    std::optional<int> chooseSource(const std::vector<acquire::DeviceInfo>& devices, int current) override;
    void runScanDialog(acquire::ScanDialog& dialog) override;

private:
    // A dialog owned by the main window, blocking it alone.
    void makeOwned(QDialog& dialog) const;

    QPointer<QWidget> owner_;
};

}  // namespace quillet::ui
