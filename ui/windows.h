#pragma once
// The seven Qt windows of Quillet, created once in their fixed order, each
// bound to its model in the Program: TForm1, Tsetpapersize,
// Tsetbordersheadersfootersdialog, Ttempform, Tcounterform,
// TTabbedNotebookDlg, TForm2. They are destroyed in the reverse order.

#include <QWidget>
#include <memory>
#include <vector>

#include "program/program.h"

namespace quillet::ui {

class QtPlatform;
class TForm1;
class Tsetpapersize;
class Tsetbordersheadersfootersdialog;
class Ttempform;
class Tcounterform;
class TTabbedNotebookDlg;
class TForm2;
class QtScannerDialogs;
class ModalStacking;

class QuilletWindows {
public:
    // Precondition: a QApplication exists; `program` and `platform` outlive
    // the windows. The platform's dialogs get the main window as parent, and
    // Exit ends the event loop.
    QuilletWindows(app::Program& program, QtPlatform& platform);
    ~QuilletWindows();

    // The seven windows in creation order.
    std::vector<QWidget*> all() const;

    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<Tsetpapersize> setpapersize;
    std::unique_ptr<Tsetbordersheadersfootersdialog> setbordersheadersfootersdialog;
    std::unique_ptr<Ttempform> tempform;
    std::unique_ptr<Tcounterform> counterform;
    std::unique_ptr<TTabbedNotebookDlg> TabbedNotebookDlg;
    std::unique_ptr<TForm2> Form2;

    // The scanner layer over SANE with its Qt dialogs, given to the acquire
    // command.
    std::unique_ptr<QtScannerDialogs> scannerDialogs;
    std::unique_ptr<acquire::SaneTwain> scanner;

    // Keeps every box and dialog above the always-on-top windows, and the
    // counter above the boxes of a scan.
    std::unique_ptr<ModalStacking> stacking;

private:
    app::Program& program_;
    QtPlatform& platform_;
};

}  // namespace quillet::ui
