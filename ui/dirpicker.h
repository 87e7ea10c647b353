#pragma once
// The "Select Directory" picker of Set Output Directory: a modal dialog with
// the "Directory Name" box, the folders along and below the shown path, the
// grey list of its files, the drives (mounted volumes), and OK, Cancel and
// Help. OK with a missing directory asks whether to create it and creates it
// with every missing parent.

#include <QDialog>
#include <functional>
#include <string>

#include "app/platform_services.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace quillet::ui {

class DirectoryPicker : public QDialog {
    Q_OBJECT
public:
    // Opens on `start` (the nearest existing folder above it when it does not
    // exist, "/" at worst); the "Directory Name" box holds the shown folder.
    DirectoryPicker(QWidget* parent, const std::string& start);

    // The outcome once the dialog has closed: Ok with the directory, Cancel,
    // or Failure (empty box, a directory that cannot be created, any error).
    const app::DirectoryPickerResult& outcome() const { return result_; }

    // The folder whose contents are listed.
    const std::string& shownFolder() const { return folder_; }

    // Asks whether a missing directory is to be created; the default shows
    // the confirmation box (caption "Confirm", Yes and No). Tests replace it.
    std::function<bool()> confirmCreate;

    QLineEdit* directoryName() const { return name_; }
    QListWidget* directories() const { return dirs_; }
    QListWidget* files() const { return files_; }
    QComboBox* drives() const { return drives_; }

public slots:
    // Lists `folder` (the Directories and Files lists, the drive shown) and
    // puts it into the "Directory Name" box.
    void showFolder(const QString& folder);
    // OK: decides on the box text; may stay open when the user declines the
    // creation of a missing directory.
    void pressOk();
    void showHelp();

private:
    void folderClicked(QListWidgetItem* item);
    void folderOpened(QListWidgetItem* item);
    void driveChosen(int index);
    bool askCreate();

    QLineEdit* name_ = nullptr;
    QListWidget* dirs_ = nullptr;
    QListWidget* files_ = nullptr;
    QComboBox* drives_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::string folder_;
    std::vector<std::string> roots_;
    app::DirectoryPickerResult result_;
};

// Runs the picker modally on `parent`, starting at `start`, and returns its
// outcome. Any exception while it runs gives Failure. This is the
// implementation behind QtPlatform::pickDirectory (its directoryPicker hook).
app::DirectoryPickerResult runDirectoryPicker(QWidget* parent, const std::string& start);

}  // namespace quillet::ui
