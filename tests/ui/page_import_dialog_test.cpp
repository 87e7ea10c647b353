// The Import Pages dialog: it shows the destination folder and the first
// number it was offered, and hands back what the user changed them to; a
// setting that does not apply cannot be changed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "qt_app.h"
#include "ui/page_import_dialog.h"

namespace {

TEST(PageImportDialog, ShowsTheDestinationAndFirstNumberAndReturnsTheUsersChoice) {
    quillet::uitest::application();
    quillet::app::PageImportChoice offer;
    offer.directory = "/scans/book";
    offer.firstNumber = 6;
    QString shownFolder;
    int shownNumber = 0;
    bool okWithoutFolder = true;
    bool stepsWithoutClean = true, levelWhenLocal = true, automaticWhenLocal = true, stepsWithClean = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto* folder = dialog->findChild<QLineEdit*>(QStringLiteral("destination"));
        auto* first = dialog->findChild<QSpinBox*>(QStringLiteral("firstNumber"));
        auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        ASSERT_TRUE(folder && first && ok);
        shownFolder = folder->text();
        shownNumber = first->value();
        folder->setText(QString());
        okWithoutFolder = ok->isEnabled();
        folder->setText(QStringLiteral("/scans/other"));
        first->setValue(1);
        const auto box = [dialog](const char* name) { return dialog->findChild<QCheckBox*>(QString::fromUtf8(name)); };
        ASSERT_TRUE(box("automaticThreshold") && box("localThreshold") && box("clean") && box("borders"));
        stepsWithoutClean = box("deskew")->isEnabled() || box("borders")->isEnabled() || box("despeckle")->isEnabled();
        box("automaticThreshold")->setChecked(false);
        box("localThreshold")->setChecked(true);
        levelWhenLocal = dialog->findChild<QSpinBox*>(QStringLiteral("threshold"))->isEnabled();
        automaticWhenLocal = box("automaticThreshold")->isEnabled();
        box("clean")->setChecked(true);
        stepsWithClean = box("deskew")->isEnabled() && box("borders")->isEnabled() && box("despeckle")->isEnabled();
        box("borders")->setChecked(false);
        ok->click();
    });
    const std::optional<quillet::app::PageImportChoice> choice = quillet::ui::runPageImportDialog(nullptr, offer);
    EXPECT_EQ(shownFolder, QStringLiteral("/scans/book"));
    EXPECT_EQ(shownNumber, 6);
    EXPECT_FALSE(okWithoutFolder);
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->directory, "/scans/other");
    EXPECT_EQ(choice->firstNumber, 1);
    EXPECT_EQ(choice->dpi, offer.dpi);
    EXPECT_FALSE(stepsWithoutClean);
    EXPECT_FALSE(levelWhenLocal);
    EXPECT_FALSE(automaticWhenLocal);
    EXPECT_TRUE(stepsWithClean);
    EXPECT_TRUE(choice->localThreshold && choice->clean && choice->deskew && choice->despeckle);
    EXPECT_FALSE(choice->borders);
}

}  // namespace
