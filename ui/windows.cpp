#include "ui/windows.h"

#include <QApplication>

#include "ui/Borders.h"
#include "ui/Justif.h"
#include "ui/QtPlatform.h"
#include "ui/Unit1.h"
#include "ui/bindings.h"
#include "ui/bmpform.h"
#include "ui/counter.h"
#include "ui/helpform.h"
#include "ui/modal_stacking.h"
#include "ui/papersiz.h"
#include "ui/scan_dialogs.h"

namespace quillet::ui {

QuilletWindows::QuilletWindows(app::Program& program, QtPlatform& platform)
    : program_(program), platform_(platform) {
    Form1 = std::make_unique<TForm1>(program, platform);
    platform.setDialogParent(Form1.get());
    setpapersize = std::make_unique<Tsetpapersize>(program.setpapersize);
    setbordersheadersfootersdialog =
        std::make_unique<Tsetbordersheadersfootersdialog>(program.setbordersheadersfootersdialog);
    tempform = std::make_unique<Ttempform>(program.tempform, program.pointer);
    counterform = std::make_unique<Tcounterform>(program.counterform);
    TabbedNotebookDlg = std::make_unique<TTabbedNotebookDlg>(program.TabbedNotebookDlg);
    app::Program* p = &program;
    Form2 = std::make_unique<TForm2>(program.Form2, program.pointer,
                                     [p](const std::string& hint) { p->hintChanged(hint); });
    onSignal(program.quitRequested, qApp, [](QCoreApplication*) { QApplication::quit(); });
    platform.setFreeWindows({tempform.get(), counterform.get()});
    stacking = std::make_unique<ModalStacking>(counterform.get());
    scannerDialogs = std::make_unique<QtScannerDialogs>(Form1.get());
    scanner = std::make_unique<acquire::SaneTwain>(*scannerDialogs, platform);
    program.acquisition.scanner = scanner.get();
}

QuilletWindows::~QuilletWindows() {
    program_.acquisition.scanner = nullptr;
    scanner.reset();
    stacking.reset();
    platform_.setDialogParent(nullptr);
    platform_.setFreeWindows({});
    Form2.reset();
    TabbedNotebookDlg.reset();
    counterform.reset();
    tempform.reset();
    setbordersheadersfootersdialog.reset();
    setpapersize.reset();
    Form1.reset();
}

std::vector<QWidget*> QuilletWindows::all() const {
    return {Form1.get(),   setpapersize.get(),      setbordersheadersfootersdialog.get(),
            tempform.get(), counterform.get(),      TabbedNotebookDlg.get(),
            Form2.get()};
}

}  // namespace quillet::ui
