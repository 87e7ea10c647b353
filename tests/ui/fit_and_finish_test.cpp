// The real windows as a user meets them: numbers typed into fields, focus
// that modal boxes and reactivation leave alone, texts that fit the widgets
// showing them, the help window's drag and region texts, dialogs stacked on
// the window that opened them, the viewer kept in place, and what screen
// readers are told.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QStyleOptionComboBox>
#include <filesystem>

#include "analysis/autocrop.h"
#include "analysis/line_gap_statistics.h"
#include "app/file_commands.h"
#include "layout/composition.h"
#include "layout/layout_geometry.h"
#include "ui/Borders.h"
#include "ui/bitmap_list_view.h"
#include "ui/bmpform.h"
#include "ui/desktop_fit.h"
#include "ui/helpform.h"
#include "ui/number_edit.h"
#include "ui/papersiz.h"
#include "ui/status_panel_view.h"
#include "windows_rig.h"

namespace {

using quillet::ui::NumberEdit;
using quillet::uitest::WindowsTest;

void keys(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

void focusEvent(QWidget* w, QEvent::Type type, Qt::FocusReason reason) {
    QFocusEvent e(type, reason);
    QApplication::sendEvent(w, &e);
}

void clickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &press);
}

class FitTest : public WindowsTest {
protected:
    NumberEdit* edit(QWidget* window, const char* name) {
        auto* e = window->findChild<NumberEdit*>(QString::fromLatin1(name));
        EXPECT_NE(e, nullptr) << name;
        return e;
    }
    void lock() {
        form1().findChild<QCheckBox*>(QStringLiteral("lockselection"))->click();
        ASSERT_TRUE(model().locked());
    }
};

TEST_F(FitTest, TypedNumbersAreHandledOnceWhenCommitted) {
    lock();
    auto& f = model();
    struct Row {
        const char* field;
        const char* typed;
        int want;                  // the field's value once committed (0: as the chain derives it)
        bool byEnter;              // else by the focus leaving (Tab)
    };
    for (const Row& r : {Row{"ypixelsperinch", "700", 0, true},
                         Row{"ColumnLengthPixels", "7000", 7000, false},
                         Row{"xpixelsperinch", "250", 0, true}}) {
        NumberEdit* e = edit(&form1(), r.field);
        const std::vector<std::string> before{f.ColumnLengthPixels.text(), f.ColumnLengthPages.text(),
                                              f.xpixelsperinch.text(), f.ypixelsperinch.text()};
        auto now = [&] {
            return std::vector<std::string>{f.ColumnLengthPixels.text(), f.ColumnLengthPages.text(),
                                            f.xpixelsperinch.text(), f.ypixelsperinch.text()};
        };
        e->selectAll();
        keys(e, QString::fromLatin1(r.typed));
        EXPECT_EQ(e->text(), QString::fromLatin1(r.typed)) << r.field;
        EXPECT_EQ(now(), before) << r.field << ": nothing moves while the number is typed";
        if (r.byEnter) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(e, &enter);
        } else {
            focusEvent(e, QEvent::FocusOut, Qt::TabFocusReason);
        }
        if (r.want) {
            EXPECT_EQ(e->field().value(), r.want) << r.field;
        }
        EXPECT_EQ(e->text().toStdString(), e->field().text()) << r.field;
        EXPECT_NE(now(), before) << r.field << ": the chain ran on the committed value";
    }
    // The printed size, typed below its minimum and left: raised to 10 then.
    NumberEdit* width = windows->setpapersize->widthField();
    const int printedWidth = program->setpapersize.SpinEdit1.value();
    width->selectAll();
    keys(width, QStringLiteral("5"));
    EXPECT_EQ(width->text(), QStringLiteral("5"));
    EXPECT_EQ(program->setpapersize.SpinEdit1.value(), printedWidth);
    focusEvent(width, QEvent::FocusOut, Qt::MouseFocusReason);
    EXPECT_EQ(program->setpapersize.SpinEdit1.value(), 10);
    EXPECT_EQ(width->text(), QStringLiteral("10"));
}

TEST_F(FitTest, OnlyAFocusMoveBetweenControlsShowsTheCompressionTotals) {
    lock();
    auto* combo = form1().findChild<QComboBox*>(QStringLiteral("compressionselection"));
    ASSERT_NE(combo, nullptr);
    const std::string shown = "Output Directory = '/somewhere'";
    struct Row {
        Qt::FocusReason reason;
        bool totals;
    };
    for (const Row& r : {Row{Qt::ActiveWindowFocusReason, false}, Row{Qt::PopupFocusReason, false},
                         Row{Qt::TabFocusReason, true}, Row{Qt::MouseFocusReason, true}}) {
        model().Panel1.setText(shown);
        focusEvent(combo, QEvent::FocusIn, r.reason);
        EXPECT_EQ(model().Panel1.text().starts_with("Compression in total lines"), r.totals) << r.reason;
        focusEvent(combo, QEvent::FocusOut, Qt::TabFocusReason);
    }
}

// The program on the desktop's own dialogs: real message boxes.
class RealDialogsTest : public FitTest {
protected:
    RealDialogsTest() { realDialogs = true; }
};

TEST_F(RealDialogsTest, AFileThatCannotBeReadLeavesTheClickedSelection) {
    folder.writeText("page0.bmp", "not a bitmap");
    model().FileListBox1.refill();
    model().FileListBox1.selectAll();
    model().FileListBox1.viewChanged.emit();
    form1().show();
    form1().activateWindow();
    QApplication::processEvents();
    quillet::ui::FileListBox* list = form1().fileList();
    ASSERT_EQ(list->count(), 4);
    ASSERT_EQ(list->item(0)->text(), QStringLiteral("page0.bmp"));

    QString box;
    QWidget* focusUnderBox = nullptr;
    whenModal([&](QWidget* modal) {
        box = modal->windowTitle();
        modal->activateWindow();  // as the desktop does with a new box
        QApplication::processEvents();
        focusUnderBox = QApplication::focusWidget();
    });
    clickRow(list, 0);
    EXPECT_EQ(box, QStringLiteral("Quillet"));     // the general error report
    EXPECT_NE(focusUnderBox, list);                 // the box had the focus
    QApplication::processEvents();
    EXPECT_EQ(model().FileListBox1.selectedCount(), 1);
    EXPECT_EQ(model().Panel1.text(), "1 bitmap selected.");
    EXPECT_EQ(list->selectedItems().size(), 1);
}

TEST_F(FitTest, DialogsStackOnTheWindowThatOpensThemAndTheFontChooserStartsAtTheFieldsFont) {
    QWidget* borders = windows->setbordersheadersfootersdialog.get();
    program->setbordersheadersfootersdialog.window.show();
    QApplication::processEvents();
    borders->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), borders);

    QWidget* parent = nullptr;
    QFont start;
    whenModal([&](QWidget* modal) {
        parent = modal->parentWidget();
        if (auto* dlg = qobject_cast<QFontDialog*>(modal)) start = dlg->currentFont();
    });
    quillet::app::FontChoice initial;
    initial.name = "Times New Roman";
    initial.bold = true;
    initial.italic = true;
    EXPECT_FALSE(qt.chooseFont(initial).has_value());
    EXPECT_EQ(parent, borders);
    EXPECT_EQ(start.family(), QFontInfo(QFont(QStringLiteral("Times New Roman"))).family());
    EXPECT_TRUE(start.bold());
    EXPECT_TRUE(start.italic());

    borders->activateWindow();
    QApplication::processEvents();
    parent = nullptr;
    whenModal([&](QWidget* modal) { parent = modal->parentWidget(); });
    qt.messageBox({quillet::app::MessageKind::Notice, "Quillet", "text", {quillet::app::Button::Ok}});
    EXPECT_EQ(parent, borders);
}

// Every text the program shows, measured with the font of the widget that
// shows it.
TEST_F(FitTest, EveryTextFitsTheWidgetThatShowsIt) {
    quillet::ui::StatusPanelView* panel = form1().statusPanel();
    form1().show();
    QApplication::processEvents();
    quillet::analysis::PageTable totals;
    totals.TotalLines = 999999;
    totals.RemovedHigh = 899999;
    totals.RemovedMedium = 799999;
    totals.RemovedLow = 699999;
    const std::vector<std::string> status = {
        quillet::analysis::compressionTotalsText(totals, true),
        quillet::app::kPickerHintText,
        quillet::app::kNoOutputDirectoryText,
        quillet::app::kPickerFailureText,
        quillet::layout::kNoRoomText,
        quillet::layout::kNoRowText,
        quillet::layout::sizeLine(2147483647, 2147483647, 300),
        quillet::layout::doneText(300, 2147483647),
        quillet::output::PrintedSizeDialog::noPrinterText(999, 999),
        quillet::analysis::statisticsProgressText(300, 300),
        quillet::analysis::autocropProgressText(300, 300),
        "Bitmaps MUST be monochrome to Lock selection",
        "Internal bitmaps NOT stretched to longest height",
        "Output Directory = '/home/someone/Documents/scans/a rather long book title/chapter 12'",
        "No room for the pages: each of the 99 columns leaves 0.5 mm for a page once the internal "
        "left and right borders are taken off. Use fewer columns or smaller borders.",
        "The base file name is too long for the file system once a page number and \".bmp\" are "
        "added. The external pages are written into the output directory as page number + base "
        "file name + \".bmp\"; choose a plain name such as page.",
    };
    for (const std::string& s : status)
        EXPECT_TRUE(panel->fits(QString::fromStdString(s))) << "status: " << s;

    // The compression list's captions at their widest.
    auto* combo = form1().findChild<QComboBox*>(QStringLiteral("compressionselection"));
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    const int room = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                    QStyle::SC_ComboBoxEditField, combo).width();
    for (const char* caption : {"None 100%", "High 100%", "Medium 88.888%", "Low 99.999%"})
        EXPECT_LE(combo->fontMetrics().horizontalAdvance(QString::fromLatin1(caption)), room)
            << "caption: " << caption;

    // Each help text of every control and menu item, whole in the help window.
    QStringList hints{QString::fromUtf8(quillet::app::MainForm::kFileListZipHint)};
    for (QWidget* w : windows->all()) {
        for (QWidget* c : w->findChildren<QWidget*>()) hints << c->statusTip();
        for (QAction* a : w->findChildren<QAction*>()) hints << a->statusTip();
        hints << w->statusTip();
    }
    hints.removeAll(QString());
    hints.removeDuplicates();
    ASSERT_GT(hints.size(), 50);
    quillet::ui::TForm2& help = *windows->Form2;
    for (const QString& hint : hints) {
        program->hintChanged(hint.toStdString());
        QApplication::processEvents();
        const int bottom = help.memo()->textBottom() - help.hiddenStrip();
        EXPECT_LE(bottom, help.height()) << "help: " << hint.toStdString();
        EXPECT_GT(help.memo()->textBottom(), help.hiddenStrip() + 10);  // the text is there
    }

    // Each window's title in its title bar.
    for (QWidget* w : windows->all()) {
        if (w->windowFlags().testFlag(Qt::FramelessWindowHint)) continue;
        QFont bold = w->font();
        bold.setBold(true);
        const QFontMetrics m(bold);
        EXPECT_GE(w->width(), m.horizontalAdvance(w->windowTitle()) + 3 * m.height())
            << "title: " << w->windowTitle().toStdString();
    }
}

TEST_F(FitTest, TheHelpWindowIsDraggedWithEveryButtonAndOffersNoContextMenu) {
    quillet::ui::TForm2& help = *windows->Form2;
    QWidget* viewport = help.memo()->viewport();
    auto& w = program->Form2.window;
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
        w.moveTo(100, 200);
        QApplication::processEvents();
        // Points on the screen, given against where the text area starts.
        const QPoint origin = viewport->mapTo(&help, QPoint(0, 0)) + help.geometry().topLeft();
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            const QPoint screen = origin + at;
            const QPoint local = screen - (viewport->mapTo(&help, QPoint(0, 0)) + help.geometry().topLeft());
            QMouseEvent e(type, local, screen, button, held, Qt::NoModifier);
            QApplication::sendEvent(viewport, &e);
        };
        send(QEvent::MouseButtonPress, {10, 30}, button);
        bool menuShown = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                menuShown = true;
                popup->close();
            }
        });
        QContextMenuEvent menu(QContextMenuEvent::Mouse, {10, 30}, viewport->mapToGlobal(QPoint(10, 30)));
        QApplication::sendEvent(viewport, &menu);
        QApplication::processEvents();
        EXPECT_FALSE(menuShown) << button;
        send(QEvent::MouseMove, {40, 50}, button);
        send(QEvent::MouseButtonRelease, {40, 50}, Qt::NoButton);
        EXPECT_EQ(QPoint(w.left(), w.top()), QPoint(130, 220)) << button;
    }
}

TEST_F(FitTest, LabelsShowTheHelpTextOfTheRegionAroundThem) {
    const auto& f = model();
    struct Row {
        const char* caption;
        std::string hint;
    };
    const std::vector<Row> rows = {
        {"Column Length &in pixels", f.hintOf("ColumnLengthGroup")},
        {"in &pages", f.hintOf("ColumnLengthGroup")},
        {"Number of co&lumns per printed page", f.hintOf("ColumnLengthGroup")},
        {"Number of printed pages", f.hintOf("PrintedPagesGroup")},
        {"&X", f.hintOf("ResolutionGroup")},
        {"pixels/inch (A4)", f.hintOf("ResolutionGroup")},
        {"File Na&me:", f.hintOf("FileNameGroup")},
    };
    program->setpapersize.ComboBox1.userSelect(quillet::output::PrintedSizeDialog::kA4);
    for (const Row& r : rows) {
        QLabel* label = nullptr;
        for (QLabel* l : form1().findChildren<QLabel*>())
            if (l->text() == QString::fromLatin1(r.caption)) label = l;
        ASSERT_NE(label, nullptr) << r.caption;
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(label, &enter);
        EXPECT_EQ(program->Form2.memoText(), quillet::app::HelpWindow::kHintPrefix + r.hint) << r.caption;
    }
    // In the borders dialog the labels show the dialog's own text.
    QWidget* borders = windows->setbordersheadersfootersdialog.get();
    for (QLabel* l : borders->findChildren<QLabel*>()) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(l, &enter);
        EXPECT_EQ(QString::fromStdString(program->Form2.memoText()).mid(11), borders->statusTip())
            << l->text().toStdString();
    }
}

TEST_F(FitTest, TheViewerStaysWhereTheProgramPutsIt) {
    quillet::ui::Ttempform& viewer = *windows->tempform;
    auto& w = program->tempform.window;
    w.moveTo(300, -40);  // partly off the screen
    QApplication::processEvents();
    viewer.move(0, 0);   // the desktop's own placement
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(viewer.pos(), QPoint(300, -40));
    EXPECT_EQ(QPoint(w.left(), w.top()), QPoint(300, -40));
}

TEST_F(FitTest, AFolderMadeInTheCurrentDirectoryShowsInTheDirectoryList) {
    auto* dirs = form1().findChild<quillet::ui::DirectoryListBox*>(QStringLiteral("DirectoryListBox1"));
    ASSERT_NE(dirs, nullptr);
    auto shown = [&] {
        return !dirs->findItems(QStringLiteral("made by the picker"), Qt::MatchExactly | Qt::MatchRecursive)
                    .isEmpty();
    };
    EXPECT_FALSE(shown());
    std::filesystem::create_directory(folder.file("made by the picker"));
    dirs->sync();  // as when the main window is active again after the picker
    EXPECT_TRUE(shown());
}

TEST_F(FitTest, ScreenReadersSeeNamesRolesAndValues) {
    lock();
    struct Row {
        QWidget* widget;
        QAccessible::Role role;
        QString name;  // empty: any name but none
    };
    auto byName = [](QWidget* window, const char* name) {
        return window->findChild<QWidget*>(QString::fromLatin1(name));
    };
    QWidget* borders = windows->setbordersheadersfootersdialog.get();
    const std::vector<Row> rows = {
        {form1().statusPanel(), QAccessible::StatusBar, QString::fromStdString(model().Panel1.text())},
        {byName(&form1(), "ColumnLengthPixels"), QAccessible::SpinBox, QStringLiteral("Column Length in pixels")},
        {byName(&form1(), "ypixelsperinch"), QAccessible::SpinBox, QStringLiteral("Y")},
        {byName(&form1(), "filename"), QAccessible::EditableText, QStringLiteral("File Name:")},
        {byName(borders, "topint"), QAccessible::SpinBox, QStringLiteral("Internal top (mm)")},
        {byName(borders, "rightext"), QAccessible::SpinBox, QStringLiteral("External right (mm)")},
        {&form1(), QAccessible::Window, QStringLiteral("Quillet")},
        {windows->tempform.get(), QAccessible::Window, QStringLiteral("Viewer")},
        {windows->Form2.get(), QAccessible::Dialog, QStringLiteral("Help")},
        {borders, QAccessible::Dialog, QStringLiteral("Set Borders, Headers and Footers")},
        {windows->setpapersize.get(), QAccessible::Dialog, QStringLiteral("Set Printed Size (mm)")},
    };
    for (const Row& r : rows) {
        ASSERT_NE(r.widget, nullptr);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(r.widget);
        ASSERT_NE(a, nullptr) << r.name.toStdString();
        EXPECT_EQ(a->role(), r.role) << r.name.toStdString();
        EXPECT_EQ(a->text(QAccessible::Name).toStdString(), r.name.toStdString());
    }
    // The number fields tell their value and range.
    auto* clp = static_cast<NumberEdit*>(byName(&form1(), "ColumnLengthPixels"));
    QAccessibleValueInterface* v = QAccessible::queryAccessibleInterface(clp)->valueInterface();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->currentValue().toInt(), model().ColumnLengthPixels.value());
    EXPECT_EQ(v->minimumValue().toInt(), model().ColumnLengthPixels.minimum());
    EXPECT_EQ(v->maximumValue().toInt(), 32000);
}

}  // namespace
