#pragma once
// The directory trio of the main window as Qt widgets: the drive list, the
// directory list and the file list. They show the MainForm's models and
// report the user's actions to them.

#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/drives.h"
#include "app/file_list.h"
#include "app/main_form.h"

namespace quillet::ui {

// DriveComboBox1: the mounted volumes by root path; picking one calls
// DriveList::userSelect().
class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    DriveComboBox(app::DriveList& drives, QWidget* parent = nullptr);
    // Model -> widget: the roots and the one shown.
    void sync();

private:
    app::DriveList& drives_;
    bool syncing_ = false;
};

// DirectoryListBox1: the chain of folders from "/" down to the file list's
// directory, then that directory's own folders one level deeper. A
// double-click (or Enter) on a folder opens it (MainForm::changeDirectory).
// A folder that cannot be read shows no sub-folders.
class DirectoryListBox : public QTreeWidget {
    Q_OBJECT
public:
    // Follows the file list's directory of `form`.
    DirectoryListBox(app::MainForm& form, QWidget* parent = nullptr);
    // Rebuilds the tree when the file list's directory or its folders differ
    // from the ones shown (a folder made by the directory picker appears).
    void sync();
    // The folder path of an item.
    static QString pathOf(const QTreeWidgetItem* item);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void open(QTreeWidgetItem* item);

    app::MainForm& form_;
    std::string shown_;
    QStringList shownFolders_;
};

// FileListBox1: the sorted multi-select file list. The selection is the
// model's: clicks go to FileList::userClick (with Ctrl and Shift), a drag
// and keyboard moves to FileList::userSelectionChanged, and the widget then
// shows what the model selected.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    FileListBox(app::FileList& list, QWidget* parent = nullptr);
    // Model -> widget: the entries (refilled only when they differ), the
    // selection in one go, the current entry.
    void sync();
    // The model shown.
    app::FileList& list() { return list_; }

    // Runs on a double-click on an entry, after the click it implies.
    std::function<void()> onDoubleClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::vector<int> widgetSelection() const;

    app::FileList& list_;
    std::vector<std::string> shownEntries_;
    int dragAnchor_ = -1;
    int dragRow_ = -1;
    bool syncing_ = false;
};

}  // namespace quillet::ui
