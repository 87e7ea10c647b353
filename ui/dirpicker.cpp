#include "ui/dirpicker.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <exception>

#include "app/directory_creation.h"
#include "app/drives.h"

namespace quillet::ui {

namespace {

// Paths travel as the file system's bytes; the widgets show them decoded.
QString toQt(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string fromQt(const QString& path) { return QFile::encodeName(path).toStdString(); }

constexpr int kPathRole = Qt::UserRole;

const char* const kHelpText =
    "Type the output directory into the 'Directory Name' box, or pick it: a click on a folder "
    "in 'Directories' selects it, a double-click opens it and lists its folders and files, and "
    "'Drives' moves to another mounted volume. 'Files' only shows what the open folder holds.\n\n"
    "OK makes the directory in the 'Directory Name' box the output directory. A directory that "
    "does not exist yet is created, together with any missing parent directories, once you "
    "confirm it. Cancel leaves no directory chosen: files are then written to the filelist "
    "directory.";

// The nearest existing folder at or above `path` ("/" at worst).
QString existingFolderAt(const QString& path) {
    QString p = QDir::cleanPath(path.isEmpty() ? QStringLiteral("/") : path);
    if (!QDir::isAbsolutePath(p)) p = QDir::cleanPath(QDir::currentPath() + '/' + p);
    while (!QFileInfo(p).isDir() && p != QLatin1String("/")) p = QFileInfo(p).path();
    return p;
}

QLabel* label(const QString& text, QWidget* buddy, QWidget* parent, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    l->setGeometry(x, y, w, 16);
    return l;
}

}  // namespace

DirectoryPicker::DirectoryPicker(QWidget* parent, const std::string& start) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Select Directory"));
    setModal(true);
    setFixedSize(424, 255);

    name_ = new QLineEdit(this);
    name_->setGeometry(8, 22, 318, 24);
    label(QStringLiteral("Directory &Name:"), name_, this, 8, 4, 200);

    dirs_ = new QListWidget(this);
    dirs_->setGeometry(8, 70, 200, 124);
    label(QStringLiteral("&Directories:"), dirs_, this, 8, 52, 200);

    files_ = new QListWidget(this);
    files_->setGeometry(216, 70, 110, 172);
    files_->setSelectionMode(QAbstractItemView::NoSelection);
    label(QStringLiteral("&Files: (*.*)"), files_, this, 216, 52, 110);

    drives_ = new QComboBox(this);
    drives_->setGeometry(8, 218, 200, 24);
    label(QStringLiteral("D&rives:"), drives_, this, 8, 200, 200);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setGeometry(336, 8, 80, 27);
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(336, 42, 80, 27);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setGeometry(336, 76, 80, 27);
    // No "Network..." button: the platform has no dialog for connecting
    // network drives; mounted network shares appear among the drives.

    roots_ = app::mountedVolumeRoots();
    for (const auto& r : roots_) drives_->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), toQt(r));

    connect(ok_, &QPushButton::clicked, this, &DirectoryPicker::pressOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &DirectoryPicker::showHelp);
    connect(dirs_, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item, QListWidgetItem*) { folderClicked(item); });
    connect(dirs_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { folderOpened(item); });
    connect(drives_, &QComboBox::activated, this, [this](int i) { driveChosen(i); });

    showFolder(existingFolderAt(toQt(start)));

    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void DirectoryPicker::showFolder(const QString& folder) {
    const QString path = existingFolderAt(folder);
    folder_ = fromQt(path);

    const QSignalBlocker blockDirs(dirs_);
    dirs_->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    // The folders along the path, from the root down, then those below it.
    QStringList parts = path.split('/', Qt::SkipEmptyParts);
    QString along = QStringLiteral("/");
    auto addFolder = [&](const QIcon& icon, const QString& text, const QString& full, int depth) {
        auto* item = new QListWidgetItem(icon, QString(depth * 2, ' ') + text, dirs_);
        item->setData(kPathRole, full);
        return item;
    };
    QListWidgetItem* current = addFolder(open, QStringLiteral("/"), along, 0);
    for (int i = 0; i < parts.size(); ++i) {
        along = along == QLatin1String("/") ? '/' + parts[i] : along + '/' + parts[i];
        current = addFolder(open, parts[i], along, i + 1);
    }
    const QDir dir(path);
    const QString prefix = path == QLatin1String("/") ? QString() : path;
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        addFolder(closed, sub, prefix + '/' + sub, int(parts.size()) + 1);
    dirs_->setCurrentItem(current);

    files_->clear();
    for (const QString& f : dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QListWidgetItem(f, files_);
        item->setForeground(QColor(Qt::gray));
    }

    const QSignalBlocker blockDrives(drives_);
    const std::string root = app::volumeRootOf(roots_, folder_);
    for (int i = 0; i < int(roots_.size()); ++i)
        if (roots_[std::size_t(i)] == root) drives_->setCurrentIndex(i);

    name_->setText(path);
}

void DirectoryPicker::folderClicked(QListWidgetItem* item) {
    if (item) name_->setText(item->data(kPathRole).toString());
}

void DirectoryPicker::folderOpened(QListWidgetItem* item) {
    if (item) showFolder(item->data(kPathRole).toString());
}

void DirectoryPicker::driveChosen(int index) {
    if (index >= 0 && index < int(roots_.size())) showFolder(toQt(roots_[std::size_t(index)]));
}

bool DirectoryPicker::askCreate() {
    if (confirmCreate) return confirmCreate();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"),
                    QString::fromUtf8(app::kCreateDirectoryQuestion), QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void DirectoryPicker::pressOk() {
    app::PickerOkDecision d;
    try {
        d = app::decidePickerOk(fromQt(name_->text()), folder_, [this] { return askCreate(); });
    } catch (const std::exception&) {
        d.step = app::PickerOkDecision::Step::Fail;
    }
    switch (d.step) {
    case app::PickerOkDecision::Step::ReturnToPicker:
        name_->setFocus();
        return;
    case app::PickerOkDecision::Step::Accept:
        result_ = {app::DirectoryPickerResult::Outcome::Ok, d.directory};
        break;
    case app::PickerOkDecision::Step::Fail:
        result_ = {app::DirectoryPickerResult::Outcome::Failure, {}};
        break;
    }
    accept();
}

void DirectoryPicker::showHelp() {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), QString::fromUtf8(kHelpText),
                    QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

app::DirectoryPickerResult runDirectoryPicker(QWidget* parent, const std::string& start) {
    try {
        DirectoryPicker picker(parent, start);
        picker.exec();
        return picker.outcome();
    } catch (const std::exception&) {
        return {app::DirectoryPickerResult::Outcome::Failure, {}};
    }
}

}  // namespace quillet::ui
