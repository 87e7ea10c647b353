#pragma once
// TForm1, Quillet's main window: the menus, the drive, directory and file
// lists, the layout fields, the OK button and the status panel. Every
// widget mirrors one control of app::MainForm and reports the user's
// actions to it; the rules live in the models.

#include <QMainWindow>
#include <map>
#include <string>

#include "program/program.h"
#include "ui/status_panel_view.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QVBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace quillet::ui {

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class NumberEdit;
class QtPlatform;
class StatusPanelView;
class WindowBinding;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window on the program's MainForm; the window follows the
    // model's visibility, caption and stay-on-top state. Client area 463 x
    // 434, fixed, centred on the screen, focus on OK.
    TForm1(app::Program& program, QtPlatform& platform);
    ~TForm1() override;

    // The action of a menu item by its system name (nullptr when none).
    QAction* action(const std::string& name) const;
    // The menus by their system names: File1, Options1,
    // AdvancedFormatOptions1, View1, PopupMenu1.
    QMenu* menu(const std::string& name) const;

    // The controls, for the windows that place themselves by them and for
    // tests.
    FileListBox* fileList() const { return FileListBox1_; }
    StatusPanelView* statusPanel() const { return Panel1_; }
    QPushButton* okButton() const { return Button1_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    // The controls, column by column from the left, then the status panel.
    void buildControls();
    QWidget* buildDirectoryColumn(QWidget* client);
    QWidget* buildFileColumn(QWidget* client);
    QVBoxLayout* buildLayoutColumn(QWidget* client);
    QGroupBox* buildLengthGroup(QWidget* client);
    QGroupBox* buildPrintedPagesGroup(QWidget* client);
    QGroupBox* buildResolutionGroup(QWidget* client);
    QGroupBox* buildFileNameGroup(QWidget* client);
    QHBoxLayout* buildCompressionRow(QWidget* client);
    QPushButton* buildOkButton(QWidget* client);
    StatusPanelView* buildStatusPanel(QWidget* client);
    void connectModels();
    QAction* addItem(QMenu* menu, app::MenuItem& item, bool checkable = false);
    void syncStatus();
    void syncPath();
    void syncLabels();
    void syncControls();

    app::Program& program_;
    app::MainForm& form_;
    QtPlatform& platform_;
    WindowBinding* binding_ = nullptr;
    std::map<std::string, QAction*> actions_;
    std::map<std::string, QMenu*> menus_;

    DriveComboBox* DriveComboBox1_ = nullptr;
    DirectoryListBox* DirectoryListBox1_ = nullptr;
    QLabel* fullpathname_ = nullptr;
    FileListBox* FileListBox1_ = nullptr;
    QCheckBox* lockselection_ = nullptr;
    QLabel* Label5_ = nullptr;
    QLineEdit* filename_ = nullptr;
    QComboBox* compressionselection_ = nullptr;
    QPushButton* Button1_ = nullptr;
    StatusPanelView* Panel1_ = nullptr;
};

}  // namespace quillet::ui
