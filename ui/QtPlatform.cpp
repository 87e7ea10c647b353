#include "ui/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "ui/dirpicker.h"
#include "ui/cleanup_dialog.h"
#include "ui/page_import_dialog.h"
#include "ui/printer_setup.h"

namespace quillet::ui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString buttonCaption(app::Button b) {
    switch (b) {
        case app::Button::Ok: return QStringLiteral("OK");
        case app::Button::Cancel: return QStringLiteral("Cancel");
        case app::Button::Yes: return QStringLiteral("&Yes");
        case app::Button::No: return QStringLiteral("&No");
        case app::Button::All: return QStringLiteral("&All");
    }
    return {};
}

QMessageBox::ButtonRole buttonRole(app::Button b) {
    switch (b) {
        case app::Button::Ok: return QMessageBox::AcceptRole;
        case app::Button::Cancel: return QMessageBox::RejectRole;
        case app::Button::Yes: return QMessageBox::YesRole;
        case app::Button::No: return QMessageBox::NoRole;
        case app::Button::All: return QMessageBox::YesRole;
    }
    return QMessageBox::ActionRole;
}

QMessageBox::Icon kindIcon(app::MessageKind k) {
    switch (k) {
        case app::MessageKind::Notice: return QMessageBox::NoIcon;
        case app::MessageKind::Warning: return QMessageBox::Warning;
        case app::MessageKind::Confirmation: return QMessageBox::Question;
        case app::MessageKind::Information: return QMessageBox::Information;
        case app::MessageKind::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// A folder that is a real directory (not a link), owned by us, mode 0700.
bool isOurPrivateFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0777) == 0700;
}

}  // namespace

QtPlatform::QtPlatform()
    : directoryPicker(runDirectoryPicker), timerContext_(std::make_unique<QObject>()) {
    paintClock_.start();
}
QtPlatform::~QtPlatform() = default;

app::Button QtPlatform::messageBox(const app::MessageBoxRequest& request) {
    std::vector<app::Button> buttons = request.buttons;
    if (buttons.empty()) buttons.push_back(app::Button::Ok);

    QWidget* parent = dialogParent();
    QMessageBox box(kindIcon(request.kind), qs(request.caption), qs(request.text),
                    QMessageBox::NoButton, parent);
    // A command's box is modal to the main window only: the viewer (a
    // preview to drag about) and the scan counter keep taking input while it
    // waits.
    if (parent && parent == parent_) box.setWindowModality(Qt::WindowModal);
    std::vector<std::pair<QAbstractButton*, app::Button>> made;
    for (app::Button b : buttons) made.emplace_back(box.addButton(buttonCaption(b), buttonRole(b)), b);
    box.setDefaultButton(qobject_cast<QPushButton*>(made.front().first));
    // Closing the box without choosing (Escape, close box) means Cancel where
    // the box offers it, else No, else its only/first button: a confirmation
    // closed by accident must never act as Yes.
    QAbstractButton* escape = made.front().first;
    for (app::Button want : {app::Button::No, app::Button::Cancel})
        for (auto& [w, b] : made)
            if (b == want) escape = w;
    box.setEscapeButton(escape);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (auto& [w, b] : made)
        if (w == clicked) return b;
    for (auto& [w, b] : made)
        if (w == escape) return b;
    return buttons.front();
}

QString QtPlatform::qtFilter(const std::string& filter) {
    // "Bitmap Files(*.BMP) | *.BMP" -> "Bitmap Files (*.bmp *.BMP)"
    static const QRegularExpression form(QStringLiteral(R"(^\s*(.*?)\s*\(\s*\*\.(\w+)\s*\).*$)"));
    const auto m = form.match(qs(filter));
    if (!m.hasMatch()) return qs(filter);
    const QString ext = m.captured(2);
    return QStringLiteral("%1 (*.%2 *.%3)").arg(m.captured(1), ext.toLower(), ext.toUpper());
}

std::optional<std::string> QtPlatform::openFile(const app::OpenFileRequest& request) {
    QFileDialog dlg(dialogParent(), QStringLiteral("Open"), qs(request.directory), qtFilter(request.filter));
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    // The file name box starts with the preset ("*.bmp"): a pattern there
    // lists the matching files, like the filter.
    if (!request.fileName.empty()) dlg.selectFile(qs(request.fileName));
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dlg.selectedFiles();
    if (files.isEmpty() || !QFileInfo(files.front()).isFile()) return std::nullopt;
    return files.front().toStdString();
}

std::vector<std::string> QtPlatform::openFiles(const app::OpenFileRequest& request) {
    QFileDialog dlg(parent_, QStringLiteral("Open"), qs(request.directory), qtFilter(request.filter));
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dlg.exec() != QDialog::Accepted) return {};
    std::vector<std::string> files;
    for (const QString& f : dlg.selectedFiles())
        if (QFileInfo(f).isFile()) files.push_back(f.toStdString());
    return files;
}

std::optional<app::PageImportChoice> QtPlatform::choosePageImport(const app::PageImportChoice& initial) {
    return runPageImportDialog(parent_, initial);
}

std::optional<app::CleanUpChoice> QtPlatform::chooseCleanUp(const app::CleanUpChoice& initial) {
    return runCleanUpDialog(dialogParent(), initial);
}

app::DirectoryPickerResult QtPlatform::pickDirectory(const std::string& directory) {
    if (directoryPicker) return directoryPicker(dialogParent(), directory);
    app::DirectoryPickerResult result;
    const QString dir = QFileDialog::getExistingDirectory(dialogParent(), QStringLiteral("Select Directory"),
                                                          qs(directory),
                                                          QFileDialog::DontUseNativeDialog);
    if (dir.isEmpty()) {
        result.outcome = app::DirectoryPickerResult::Outcome::Cancel;
    } else {
        result.outcome = app::DirectoryPickerResult::Outcome::Ok;
        result.directory = QDir::cleanPath(dir).toStdString();
    }
    return result;
}

void QtPlatform::setFreeWindows(std::vector<QWidget*> windows) {
    free_.assign(windows.begin(), windows.end());
}

QWidget* QtPlatform::dialogParent() const {
    // The window the user acted in opens the dialog, which stacks above it.
    QWidget* active = QApplication::activeWindow();
    const bool isFree = std::find(free_.begin(), free_.end(), active) != free_.end();
    if (active && !isFree && active->isVisible() && !(active->windowType() == Qt::Popup)) return active;
    return parent_;
}

std::optional<app::FontChoice> QtPlatform::chooseFont(const app::FontChoice& initial) {
    QFont font(qs(initial.name), initial.pointSize > 0 ? initial.pointSize : 8);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setUnderline(initial.underline);
    font.setStrikeOut(initial.strikeOut);
    // The dialog lists the installed families: a requested name that the
    // desktop substitutes ("Arial") is shown as the family that stands in.
    const QString shownFamily = QFontInfo(font).family();
    font.setFamily(shownFamily);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, dialogParent(), QStringLiteral("Font"),
                                              QFontDialog::ScalableFonts |
                                                  QFontDialog::DontUseNativeDialog);
    if (!ok) return std::nullopt;
    app::FontChoice c;
    // The family left as it was keeps the name asked for.
    c.name = chosen.family() == shownFamily ? initial.name : chosen.family().toStdString();
    c.bold = chosen.bold();
    c.italic = chosen.italic();
    c.underline = chosen.underline();
    c.strikeOut = chosen.strikeOut();
    c.pointSize = chosen.pointSize() > 0 ? chosen.pointSize() : initial.pointSize;
    return c;
}

QPrinter* QtPlatform::printer() { return jobs_.printer(); }

std::optional<app::PrinterGeometry> QtPlatform::printerGeometry() { return jobs_.geometry(); }

void QtPlatform::printerSetup() {
    // Without a printer there is nothing to set up; the caller's refresh
    // reports the missing printer.
    QPrinter* p = printer();
    if (!p) return;
    runPrinterSetup(*p, dialogParent());
}

bool QtPlatform::printPage(const imaging::Bitmap& page, imaging::Size onPaper) {
    return jobs_.printPage(page, onPaper);
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::setBusyCursor(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtPlatform::processPaintEvents() {
    if (paintClock_.elapsed() >= 20) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        paintClock_.restart();
        return;
    }
    // Too soon: the widgets already hold the new text and have an update
    // pending; the event loop paints it when the command ends, and a later
    // call paints it sooner.
    if (!flushQueued_) {
        flushQueued_ = true;
        QTimer::singleShot(0, timerContext_.get(), [this] {
            flushQueued_ = false;
            paintClock_.restart();
        });
    }
}

imaging::Size QtPlatform::screenSize() {
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return {1024, 768};
    const QRect g = s->geometry();
    return {g.width(), g.height()};
}

bool QtPlatform::openWithAssociatedProgram(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)));
}

std::string QtPlatform::privateTempDirectory() {
    if (!tempDir_.empty() && isOurPrivateFolder(tempDir_)) return tempDir_;
    const std::string base = QDir::tempPath().toStdString();
    const std::string named = base + "/quillet-" + std::to_string(::getuid());
    if (::mkdir(named.c_str(), 0700) == 0) ::chmod(named.c_str(), 0700);  // whatever the umask
    if (isOurPrivateFolder(named)) return tempDir_ = named;
    // Someone else's folder, a link or a file in the way: never write there.
    std::string tmpl = named + "-XXXXXX";
    if (char* made = ::mkdtemp(tmpl.data())) return tempDir_ = made;
    // Last resort: the user's own home, which only they can write.
    const std::string home = QDir::homePath().toStdString() + "/.quillet-tmp";
    ::mkdir(home.c_str(), 0700);
    return tempDir_ = home;
}

}  // namespace quillet::ui
