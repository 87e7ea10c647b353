#pragma once
// The desktop services of Quillet on Qt: message boxes, file, directory and
// font dialogs, the current printer, the beep, the busy cursor, painting
// during long commands, the screen, the associated program and a private
// temporary folder.

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/platform_services.h"
#include "ui/printer_job.h"

class QPrinter;

namespace quillet::ui {

class QtPlatform : public app::PlatformServices {
public:
    QtPlatform();
    ~QtPlatform() override;

    // The window that owns the modal dialogs when none of Quillet's windows
    // is active (the main window once it exists); null puts them on their own.
    // A message box it owns is modal to it alone.
    void setDialogParent(QWidget* parent) { parent_ = parent; }
    // Windows that keep taking input while a box waits (the viewer, the scan
    // counter): they never own a dialog, which would block them.
    void setFreeWindows(std::vector<QWidget*> windows);
    // The parent of the next dialog: the active window (the one the user
    // opened it from) unless it is a free one, else the one set above.
    QWidget* dialogParent() const;

    // The directory picker behind pickDirectory(): the "Select Directory"
    // dialog. When cleared, a plain existing-directory dialog stands in.
    std::function<app::DirectoryPickerResult(QWidget* parent, const std::string& start)>
        directoryPicker;

    app::Button messageBox(const app::MessageBoxRequest& request) override;
    std::optional<std::string> openFile(const app::OpenFileRequest& request) override;
    std::vector<std::string> openFiles(const app::OpenFileRequest& request) override;
    std::optional<app::PageImportChoice> choosePageImport(const app::PageImportChoice& initial) override;
    std::optional<app::CleanUpChoice> chooseCleanUp(const app::CleanUpChoice& initial) override;
    app::DirectoryPickerResult pickDirectory(const std::string& directory) override;
    std::optional<app::FontChoice> chooseFont(const app::FontChoice& initial) override;
    std::optional<app::PrinterGeometry> printerGeometry() override;
    void printerSetup() override;
    bool printPage(const imaging::Bitmap& page, imaging::Size onPaper) override;
    void beep() override;
    void setBusyCursor(bool busy) override;
    // Paints pending updates without taking user input, at most about every
    // 20 ms; a skipped call leaves a flush queued for the event loop, so the
    // last text is always painted.
    void processPaintEvents() override;
    imaging::Size screenSize() override;
    bool openWithAssociatedProgram(const std::string& path) override;
    // $TMPDIR/quillet-<uid>, mode 0700, created once per run. A folder of
    // that name that is not a real directory owned by this user with mode
    // 0700 is never used: a fresh unique folder is made instead.
    std::string privateTempDirectory() override;

    // Translates a filter of the system's form "Text(*.EXT) | *.EXT" into a
    // Qt name filter "Text (*.ext *.EXT)" (both cases, since POSIX names
    // are case-sensitive). Other forms are passed through.
    static QString qtFilter(const std::string& filter);

    // The printer the platform uses; null without any installed printer.
    QPrinter* printer();

private:
    QPointer<QWidget> parent_;
    std::vector<QPointer<QWidget>> free_;
    PrinterJobs jobs_;
    QElapsedTimer paintClock_;
    // Owns the queued flush: gone with the platform, so is the flush.
    std::unique_ptr<QObject> timerContext_;
    bool flushQueued_ = false;
    bool busy_ = false;
    std::string tempDir_;
};

}  // namespace quillet::ui
