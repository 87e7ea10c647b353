// The settings dialogs as real Qt windows: each widget forwards the user's
// action to its model, and shows what the model then holds.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "program/program.h"
#include "qt_app.h"
#include "support/fake_platform.h"
#include "ui/Borders.h"
#include "ui/Justif.h"
#include "ui/QtPlatform.h"
#include "ui/counter.h"
#include "ui/number_edit.h"
#include "ui/papersiz.h"
#include "ui/windows.h"

namespace {

// Types `text` into a line edit, replacing what it holds: one keystroke per
// character, or the whole text in one input (as pasted) when `atOnce`.
void typeInto(QLineEdit* edit, const QString& text, bool atOnce = false) {
    edit->setFocus();
    edit->selectAll();
    const QStringList inputs = atOnce ? QStringList{text} : text.split(QString(), Qt::SkipEmptyParts);
    for (const QString& input : inputs) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, input);
        QApplication::sendEvent(edit, &press);
    }
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        quillet::uitest::application();
        dir = std::filesystem::temp_directory_path() / ("quillet-uidlg-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        program = std::make_unique<quillet::app::Program>(fake, dir.string(), "");
        windows = std::make_unique<quillet::ui::QuilletWindows>(*program, qt);
    }
    void TearDown() override {
        windows.reset();
        program.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::filesystem::path dir;
    quillet::testing::FakePlatform fake;
    quillet::ui::QtPlatform qt;
    std::unique_ptr<quillet::app::Program> program;
    std::unique_ptr<quillet::ui::QuilletWindows> windows;
};

TEST_F(DialogsTest, PrintedSizeChoiceAndTypingGoThroughTheModel) {
    quillet::ui::Tsetpapersize& view = *windows->setpapersize;
    auto& model = program->setpapersize;
    EXPECT_EQ(view.choice()->currentText(), QStringLiteral("Page Size"));
    EXPECT_EQ(view.widthField()->statusTip().toStdString(), model.kSpinEdit1Help);

    // Picking A3 in the list.
    view.choice()->activated(quillet::output::PrintedSizeDialog::kA3);
    EXPECT_EQ(model.widthMm(), 297);
    EXPECT_EQ(view.widthField()->text(), QStringLiteral("297"));
    EXPECT_EQ(view.heightField()->text(), QStringLiteral("420"));
    EXPECT_EQ(view.choice()->currentText(), QStringLiteral("A3"));

    // Entering 250 as the width makes the choice "User Defined". (Typed
    // digit by digit, the first "2" would already be raised to the minimum
    // 10: the size fields apply their minimum at once.)
    typeInto(view.widthField()->findChild<QLineEdit*>(), QStringLiteral("250"), true);
    EXPECT_EQ(model.SpinEdit1.text(), "250");
    EXPECT_EQ(view.choice()->currentText(), QStringLiteral("User Defined"));
    EXPECT_EQ(program->form.Label5, "pixels/inch(UD)");
}

TEST_F(DialogsTest, BorderWidthsAndTheDoubleClickFontChoice) {
    quillet::ui::Tsetbordersheadersfootersdialog& view = *windows->setbordersheadersfootersdialog;
    auto& model = program->setbordersheadersfootersdialog;
    auto* bottomext = view.findChild<quillet::ui::NumberEdit*>(QStringLiteral("bottomext"));
    ASSERT_NE(bottomext, nullptr);
    EXPECT_EQ(bottomext->text(), QStringLiteral("3"));
    typeInto(bottomext->findChild<QLineEdit*>(), QStringLiteral("12"));
    EXPECT_EQ(model.bottomext.value(), 12);

    // The footer text and its font: a double-click asks for a font; only the
    // typeface and style are kept, and the field shows them.
    QLineEdit* intfoot = view.textField(1);
    EXPECT_EQ(intfoot->objectName(), QStringLiteral("intfoot"));
    typeInto(intfoot, QStringLiteral("Chapter 4"));
    EXPECT_EQ(model.intfoot.field.text(), "Chapter 4");
    quillet::app::FontChoice chosen;
    chosen.name = "Liberation Serif";
    chosen.bold = false;
    chosen.italic = true;
    chosen.pointSize = 20;
    fake.fontAnswers.push_back(chosen);
    const QPoint at = intfoot->rect().center();
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, intfoot->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(intfoot, &dbl);
    ASSERT_EQ(fake.fontRequests.size(), 1u);
    EXPECT_EQ(fake.fontRequests[0].name, "Arial");
    EXPECT_EQ(model.intfoot.font.name, "Liberation Serif");
    EXPECT_TRUE(model.intfoot.font.italic);
    EXPECT_EQ(model.intfoot.font.pointSize, 8);
    EXPECT_EQ(intfoot->font().family(), QStringLiteral("Liberation Serif"));
    EXPECT_TRUE(intfoot->font().italic());
    EXPECT_EQ(view.textField(0)->font().family(), QFont(QStringLiteral("Arial")).family());
}

TEST_F(DialogsTest, JustificationRadiosAndTheMenuPage) {
    quillet::ui::TTabbedNotebookDlg& view = *windows->TabbedNotebookDlg;
    auto& model = program->TabbedNotebookDlg;
    EXPECT_TRUE(view.radio(0)->isChecked());  // left
    EXPECT_TRUE(view.radio(3)->isChecked());  // top
    view.radio(1)->click();                   // centreh
    EXPECT_EQ(model.horizontal(), quillet::layout::HorizontalJustification::Centre);
    view.radio(5)->click();                   // bottom
    EXPECT_EQ(model.vertical(), quillet::layout::VerticalJustification::Bottom);
    EXPECT_FALSE(view.radio(0)->isChecked());

    // The vertical menu item opens the dialog on the vertical page, whatever
    // page the user looked at last.
    view.notebook()->setCurrentIndex(0);
    program->form.Setverticalpagejustification1.click();
    QApplication::processEvents();
    EXPECT_EQ(view.notebook()->currentIndex(), 1);
    EXPECT_EQ(view.notebook()->tabText(1), QStringLiteral("Vertical Justification"));
    EXPECT_TRUE(view.isVisible());
    // The close box only hides it.
    view.close();
    QApplication::processEvents();
    EXPECT_FALSE(model.window.visible());
    EXPECT_FALSE(view.isVisible());
}

TEST_F(DialogsTest, CounterShowsItsFieldAndCannotBeClosedByTheUser) {
    quillet::ui::Tcounterform& view = *windows->counterform;
    auto& model = program->counterform;
    model.counterspinedit.setValue(301);
    EXPECT_EQ(view.counter()->text(), QStringLiteral("300"));
    model.window.show();
    QApplication::processEvents();
    ASSERT_TRUE(view.isVisible());
    view.close();
    QApplication::processEvents();
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(model.window.visible());
}

}  // namespace
