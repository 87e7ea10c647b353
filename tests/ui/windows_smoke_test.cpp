// The real Qt windows, built offscreen on a folder of three small bitmaps:
// the seven windows in their order, the menus as the models say, and user
// actions on the widgets reaching the models (and back).

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "program/program.h"
#include "imaging/bitmap.h"
#include "imaging/bmp_file.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "qt_app.h"
#include "windows_rig.h"
#include "ui/QtPlatform.h"
#include "ui/Unit1.h"
#include "ui/bitmap_list_view.h"
#include "ui/bmpform.h"
#include "ui/desktop_fit.h"
#include "ui/helpform.h"
#include "ui/number_edit.h"
#include "ui/windows.h"

namespace {

using quillet::app::MenuItem;
using quillet::uitest::WindowsTest;

TEST_F(WindowsTest, SevenWindowsInCreationOrderWithClassesAndCaptions) {
    struct Expected {
        const char* cls;
        const char* caption;
        bool shown;
    };
    const Expected expected[] = {
        {"TForm1", "Quillet", true},
        {"Tsetpapersize", "Set Printed Size (mm)", false},
        {"Tsetbordersheadersfootersdialog", "Set Borders, Headers and Footers", false},
        {"Ttempform", "Viewer", true},
        {"Tcounterform", "counter", false},
        {"TTabbedNotebookDlg", "Justification", false},
        {"TForm2", "Help", false},
    };
    const std::vector<QWidget*> all = windows->all();
    const std::vector<quillet::app::WindowModel*> models = program->windows();
    ASSERT_EQ(all.size(), 7u);
    ASSERT_EQ(models.size(), 7u);
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(expected[i].cls);
        ASSERT_NE(all[i], nullptr);
        EXPECT_TRUE(all[i]->isWindow());
        EXPECT_EQ(QString::fromLatin1(all[i]->metaObject()->className()),
                  QStringLiteral("quillet::ui::") + QString::fromLatin1(expected[i].cls));
        EXPECT_EQ(all[i]->objectName().toStdString(), models[i]->className());
        EXPECT_EQ(all[i]->windowTitle(), QString::fromLatin1(expected[i].caption));
        EXPECT_EQ(all[i]->isVisible(), expected[i].shown);
        EXPECT_EQ(all[i]->isVisible(), models[i]->visible());
    }
    // The main window: 463 x 434 below the menu bar at the designed font,
    // scaled to the desktop's; not resizable; focus on OK.
    const quillet::ui::DesignScale scale(QApplication::font());
    EXPECT_EQ(form1().centralWidget()->size(), QSize(scale.sx(463), scale.sy(434)));
    EXPECT_GE(scale.x(), 1.0);
    EXPECT_EQ(form1().minimumSize(), form1().maximumSize());
    EXPECT_EQ(form1().focusWidget(), static_cast<QWidget*>(form1().okButton()));
}

TEST_F(WindowsTest, EveryMenuItemShowsTheModelsCaptionShortcutHintAndMark) {
    quillet::app::MainForm& f = model();
    struct Menu {
        const char* name;
        std::vector<MenuItem*> items;
    };
    const std::vector<Menu> menus = {
        {"File1",
         {&f.SetOutputDirectory1, &f.DeleteSelectedFiles1, &f.Moveselectedfiles, &f.Print1,
          &f.PrintPreview1, &f.PrinterSetup1, &f.SelectSource1, &f.Acquire1, &f.ImportPages1,
          &f.CleanUpPages1, &f.Exit1}},
        {"Options1",
         {&f.Columnformat1, &f.Compressiontoggle1, &f.UpdatefilelistafterOK1, &f.KeepQuilletontop1,
          &f.ThickPrint1, &f.Setpapersize1}},
        {"AdvancedFormatOptions1",
         {&f.Autocrop1, &f.Stretchtolargestwidth1, &f.Stretchtolargestheight1,
          &f.Fixpagesizetolongestwidth1, &f.Fixpagesizetolongestheight1, &f.Setborders1,
          &f.Setverticalpagejustification1, &f.Sethorizontalpagejustification1}},
        {"View1", {&f.ToggleViewerWindow1, &f.Viewfromotherdirectory1}},
    };
    for (const Menu& m : menus) {
        QMenu* menu = form1().menu(m.name);
        ASSERT_NE(menu, nullptr) << m.name;
        QList<QAction*> shown;
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && !a->menu()) shown << a;
        ASSERT_EQ(shown.size(), qsizetype(m.items.size())) << m.name;
        for (std::size_t i = 0; i < m.items.size(); ++i) {
            const MenuItem& item = *m.items[i];
            SCOPED_TRACE(item.name());
            QAction* a = shown[qsizetype(i)];
            EXPECT_EQ(a, form1().action(item.name()));
            EXPECT_EQ(a->text().toStdString(), item.caption());
            EXPECT_EQ(a->shortcut(), QKeySequence::fromString(QString::fromStdString(item.shortcut())));
            EXPECT_EQ(a->statusTip().toStdString(), item.hint());
            EXPECT_FALSE(a->statusTip().isEmpty());
            EXPECT_EQ(a->isEnabled(), item.enabled());
            if (a->isCheckable()) {
                EXPECT_EQ(a->isChecked(), item.checked());
            }
            // Every item that shows a mark is a check item.
            if (item.checked()) {
                EXPECT_TRUE(a->isCheckable());
            }
        }
    }
    // The submenu hangs in the Options menu, Help on the menu bar itself.
    EXPECT_TRUE(form1().menu("Options1")->actions().contains(
        form1().menu("AdvancedFormatOptions1")->menuAction()));
    EXPECT_TRUE(form1().menuBar()->actions().contains(form1().action("Help1")));

    // Spot checks against the system's own texts.
    EXPECT_EQ(form1().action("KeepQuilletontop1")->text(), QStringLiteral("&Keep Quillet on Top"));
    EXPECT_EQ(form1().action("SetOutputDirectory1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(form1().action("ToggleViewerWindow1")->shortcut(), QKeySequence(Qt::Key_F12));
    EXPECT_EQ(form1().action("Help1")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(form1().action("Columnformat1")->isChecked());
    EXPECT_TRUE(form1().action("Fixpagesizetolongestwidth1")->isChecked());
    EXPECT_FALSE(form1().action("Fixpagesizetolongestwidth1")->isEnabled());
}

TEST_F(WindowsTest, MenuCommandsAndMenuOpeningGoThroughTheModel) {
    // A toggle: the check mark and the caption follow the model's rule.
    QAction* format = form1().action("Columnformat1");
    format->trigger();
    EXPECT_EQ(format->text(), QStringLiteral("Output in ROW Format"));
    EXPECT_TRUE(format->isChecked());  // the permanent mark stays
    EXPECT_EQ(form1().statusPanel()->text(), QStringLiteral("Row format selected"));
    EXPECT_TRUE(form1().action("Fixpagesizetolongestwidth1")->isEnabled());
    EXPECT_FALSE(form1().action("Fixpagesizetolongestheight1")->isEnabled());

    // Opening the File menu applies its enabling rule: nothing selected, so
    // Delete and Move are unavailable.
    quillet::app::FileList& list = model().FileListBox1;
    for (int i = 0; i < list.count(); ++i) list.setSelected(i, false);
    form1().menu("File1")->aboutToShow();
    EXPECT_FALSE(form1().action("DeleteSelectedFiles1")->isEnabled());
    EXPECT_FALSE(form1().action("Moveselectedfiles")->isEnabled());

    // Keep Quillet on Top: the main window stays on top, and stays shown.
    form1().action("KeepQuilletontop1")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(form1().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form1().isVisible());
    EXPECT_TRUE(form1().action("KeepQuilletontop1")->isChecked());
    form1().action("KeepQuilletontop1")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(form1().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form1().isVisible());

    // F12 hides the viewer window through its model.
    form1().action("ToggleViewerWindow1")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(windows->tempform->isVisible());
    EXPECT_EQ(form1().statusPanel()->text(), QStringLiteral("Bitmap Viewer OFF"));
}

TEST_F(WindowsTest, MenuShortcutsWorkFromOtherWindowsButNotUnderAModalBox) {
    const bool shownBefore = program->tempform.window.visible();
    // F12 pressed while the viewer has the keyboard still toggles it.
    windows->tempform->activateWindow();
    windows->tempform->setFocus();
    QKeyEvent f12press(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier);
    QApplication::sendEvent(windows->tempform.get(), &f12press);
    EXPECT_NE(program->tempform.window.visible(), shownBefore);

    // While a message box is open, the main window's commands wait.
    const bool shownNow = program->tempform.window.visible();
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
        EXPECT_EQ(program->tempform.window.visible(), shownNow);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &esc);
    });
    qt.messageBox({quillet::app::MessageKind::Notice, "Quillet", "text", {quillet::app::Button::Ok}});
    EXPECT_EQ(program->tempform.window.visible(), shownNow);
}

TEST_F(WindowsTest, ClickingFilesInTheListReachesTheModelAndTheViewer) {
    quillet::ui::FileListBox* list = form1().fileList();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->selectedItems().size(), 3);  // all selected at start
    EXPECT_EQ(form1().statusPanel()->text(), QString::fromStdString(model().Panel1.text()));

    auto click = [&](int row, Qt::KeyboardModifiers mods) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, mods);
        QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, mods);
        QApplication::sendEvent(list->viewport(), &press);
        QApplication::sendEvent(list->viewport(), &release);
    };

    // Ctrl+click one of three: two stay selected, the clicked one is shown.
    click(1, Qt::ControlModifier);
    EXPECT_EQ(form1().statusPanel()->text(), QStringLiteral("2 bitmaps selected."));
    EXPECT_FALSE(model().FileListBox1.selected(1));
    EXPECT_FALSE(list->item(1)->isSelected());
    EXPECT_TRUE(list->item(0)->isSelected());
    EXPECT_EQ(program->tempform.ViewerBitmap.width(), 60);  // page2.bmp is 60 wide
    // The viewer takes the bitmap's size and shows its black square.
    QApplication::processEvents();
    const QImage shown = windows->tempform->grab().toImage();
    EXPECT_EQ(shown.size(), QSize(60, 60));
    EXPECT_EQ(shown.pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(40, 40), qRgb(255, 255, 255));

    // A plain click selects only that entry.
    click(2, Qt::NoModifier);
    EXPECT_EQ(form1().statusPanel()->text(), QStringLiteral("1 bitmap selected."));
    EXPECT_EQ(list->selectedItems().size(), 1);
    EXPECT_TRUE(list->item(2)->isSelected());
    QApplication::processEvents();
    EXPECT_EQ(windows->tempform->size(), QSize(70, 60));
}

TEST_F(WindowsTest, FieldsMirrorTheirModelsBothWays) {
    quillet::app::NumberField& x = model().xpixelsperinch;
    auto* edit = form1().findChild<quillet::ui::NumberEdit*>(QStringLiteral("xpixelsperinch"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("600"));

    // Availability follows the model: the layout fields wait for the lock,
    // the printed pages field is always greyed.
    for (const char* name : {"ColumnLengthPixels", "ColumnLengthPages",
                             "Numberofcolumnsperprintedpage", "numberofprintedpages"}) {
        auto* w = form1().findChild<quillet::ui::NumberEdit*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_FALSE(w->isEnabled()) << name;
    }
    model().ColumnLengthPages.setEnabled(true);
    EXPECT_TRUE(form1().findChild<quillet::ui::NumberEdit*>(QStringLiteral("ColumnLengthPages"))->isEnabled());

    // Program writes show at once, clamped by the model.
    x.setValue(300);
    EXPECT_EQ(edit->text(), QStringLiteral("300"));
    x.setValue(123456);
    EXPECT_EQ(edit->text(), QStringLiteral("99999"));

    // The arrows step by the model's step (10 for X at start).
    x.setValue(600);
    edit->stepBy(1);
    EXPECT_EQ(x.value(), 610);
    EXPECT_EQ(edit->text(), QStringLiteral("610"));
    edit->stepBy(-2);
    EXPECT_EQ(x.value(), 590);

    // The printed size dialog's choice rewrites Label5 on the main window.
    program->setpapersize.ComboBox1.userSelect(quillet::output::PrintedSizeDialog::kA3);
    auto* label5 = form1().findChild<QLabel*>(QStringLiteral("Label5"));
    ASSERT_NE(label5, nullptr);
    EXPECT_EQ(label5->text(), QStringLiteral("pixels/inch (A3)"));
}

TEST_F(WindowsTest, ViewerFollowsALeftDragAndEscapeHidesIt) {
    quillet::ui::Ttempform* viewer = windows->tempform.get();
    const quillet::app::WindowModel& m = program->tempform.window;
    const QPoint origin(m.left(), m.top());
    // The pointer's screen positions: pressed at (10,10) in the window, then
    // moved 20 and 30 pixels right and 10 down on the screen.
    auto send = [&](QEvent::Type type, QPoint screen, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPoint local = screen - viewer->pos();
        QMouseEvent e(type, local, screen, button, held, Qt::NoModifier);
        QApplication::sendEvent(viewer, &e);
    };
    send(QEvent::MouseButtonPress, origin + QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(program->pointer.isCross());
    send(QEvent::MouseMove, origin + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, origin + QPoint(40, 20), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, origin + QPoint(40, 20), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(program->pointer.isCross());
    EXPECT_EQ(QPoint(m.left(), m.top()), origin + QPoint(30, 10));
    EXPECT_EQ(viewer->pos(), origin + QPoint(30, 10));

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(viewer, &esc);
    EXPECT_FALSE(m.visible());
    QApplication::processEvents();
    EXPECT_FALSE(viewer->isVisible());
}

TEST_F(WindowsTest, LockSelectionCheckBoxLocksThroughTheModel) {
    auto* lock = form1().findChild<QCheckBox*>(QStringLiteral("lockselection"));
    auto* pixels = form1().findChild<quillet::ui::NumberEdit*>(QStringLiteral("ColumnLengthPixels"));
    ASSERT_NE(lock, nullptr);
    ASSERT_NE(pixels, nullptr);
    lock->click();
    EXPECT_TRUE(model().locked());
    EXPECT_TRUE(lock->isChecked());
    // The lock makes the layout fields available and computes the layout.
    EXPECT_TRUE(pixels->isEnabled());
    EXPECT_EQ(pixels->text().toStdString(), model().ColumnLengthPixels.text());
    EXPECT_GT(model().ColumnLengthPixels.value(), 1);
    EXPECT_EQ(form1().statusPanel()->text().toStdString(), model().Panel1.text());

    // A click in the file list releases it, and the widgets follow.
    quillet::ui::FileListBox* list = form1().fileList();
    const QPoint at = list->visualItemRect(list->item(0)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &press);
    EXPECT_FALSE(model().locked());
    EXPECT_FALSE(lock->isChecked());
    EXPECT_FALSE(pixels->isEnabled());
}

TEST_F(WindowsTest, PointingAtLockSelectionShowsItsHintInTheHelpWindow) {
    auto* lock = form1().findChild<QCheckBox*>(QStringLiteral("lockselection"));
    ASSERT_NE(lock, nullptr);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(lock, &enter);
    const std::string want = std::string("\t\t\t\t       ") +
                             "Check this after the internal bitmaps have been selected. You cannot "
                             "refine your selection after it is checked without it automatically "
                             "becoming unchecked. BE CAREFUL NOT TO ACCIDENTALLY DOUBLE-CLICK IT.";
    EXPECT_EQ(program->Form2.memoText(), want);
    EXPECT_EQ(windows->Form2->memo()->toPlainText().toStdString(), want);

    // Highlighting a menu item routes its hint, with no control under it.
    form1().action("Print1")->hover();
    EXPECT_EQ(program->Form2.memoText(), "\t\t\t\t       " + model().Print1.hint());

    // F1 shows the help window at the bottom centre of the screen.
    form1().action("Help1")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(windows->Form2->isVisible());
    EXPECT_EQ(windows->Form2->pos(),
              QPoint(program->Form2.window.left(), program->Form2.window.top()));
}

TEST_F(WindowsTest, ArchiveKeysActOnlyWhileTheFileListHasTheFocus) {
    // Z, A and X run the pop-up's items while the list is focused, right
    // after start; elsewhere the letters are just letters.
    quillet::ui::FileListBox* list = form1().fileList();
    auto press = [](QWidget* w, Qt::Key key, const QString& text) {
        QKeyEvent shortcut(QEvent::ShortcutOverride, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &shortcut);
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &down);
        QApplication::processEvents();
    };
    form1().activateWindow();
    form1().okButton()->setFocus();
    QApplication::processEvents();
    press(form1().okButton(), Qt::Key_Z, QStringLiteral("z"));
    EXPECT_FALSE(model().ZipListMode);

    list->setFocus();
    QApplication::processEvents();
    fake.buttonAnswers = {quillet::app::Button::Cancel};
    press(list, Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(fake.messageTexts(),
              std::vector<std::string>{"Are you sure you want to add page1.bmp to the page.zip file?"});
    press(list, Qt::Key_Z, QStringLiteral("z"));
    EXPECT_TRUE(model().ZipListMode);
    EXPECT_TRUE(form1().action("Showzipfiles1")->isChecked());
    EXPECT_EQ(form1().statusPanel()->text(), QStringLiteral("No zip files."));
    press(list, Qt::Key_X, QStringLiteral("x"));  // enabled, but the list is empty
    EXPECT_EQ(fake.messages.size(), 1u);
}

}  // namespace
