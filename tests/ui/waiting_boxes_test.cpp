// Boxes and dialogs that wait for an answer, on the real Qt windows with the
// desktop's own dialogs: they come up to stay on top, and they are modal to
// the main window alone, so that the viewer (a preview to drag about) and
// the scan counter (lowered to scan a page again) keep taking input while
// they wait. Input goes through Qt's window-system queue, as the desktop's
// does, so a blocked window never sees it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QWindow>
#include <filesystem>

#include "acquire/sane_backend.h"
#include "desktop_input.h"
#include "ui/bmpform.h"
#include "ui/counter.h"
#include "ui/number_edit.h"
#include "windows_rig.h"

namespace {

using quillet::uitest::clickFromDesktop;
using quillet::uitest::keyFromDesktop;
using quillet::uitest::mouseFromDesktop;

class WaitingBoxes : public quillet::uitest::WindowsTest {
protected:
    WaitingBoxes() { realDialogs = true; }

    static bool staysOnTop(QWidget* box) {
        return box->windowHandle() && box->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    }
};

TEST_F(WaitingBoxes, ThePreviewIsDraggedAndSweptWhileItsBoxWaitsOnTopAndTheMainWindowWaits) {
    // Sorted first in the list, and larger than the screen once previewed.
    quillet::imaging::saveBmp(quillet::imaging::Bitmap(1400, 1000), folder.file("big.bmp"));
    model().FileListBox1.refill();
    model().FileListBox1.selectAll();
    form1().show();
    QApplication::processEvents();
    quillet::ui::Ttempform* viewer = windows->tempform.get();
    const quillet::app::WindowModel& shown = program->tempform.window;
    QCheckBox* lock = form1().findChild<QCheckBox*>();
    ASSERT_NE(lock, nullptr);

    bool boxOnTop = false, draggedBy = false, swept = false;
    QPoint sweepTo;
    whenModals({[](QWidget* question) { button(question, "Yes")->click(); },
                [&](QWidget* box) {
                    boxOnTop = staysOnTop(box);
                    // The main window waits: a click on Lock Selection is lost.
                    clickFromDesktop(lock, QPoint(5, lock->height() / 2));
                    // The preview follows a left drag...
                    const QPoint at(shown.left() + 10, shown.top() + 10);
                    mouseFromDesktop(viewer, QEvent::MouseButtonPress, at, Qt::LeftButton);
                    mouseFromDesktop(viewer, QEvent::MouseMove, at + QPoint(30, 20));
                    mouseFromDesktop(viewer, QEvent::MouseButtonRelease, at + QPoint(30, 20), Qt::LeftButton);
                    draggedBy = QPoint(shown.left(), shown.top()) == QPoint(30, 20);
                    // ...and a right sweep puts the part under the pointer's
                    // share of the screen in view.
                    const QSize screen = QGuiApplication::primaryScreen()->size();
                    const QPoint middle(screen.width() / 2, screen.height() / 2);
                    const QPoint from(shown.left() + 5, shown.top() + 5);
                    mouseFromDesktop(viewer, QEvent::MouseButtonPress, from, Qt::RightButton);
                    mouseFromDesktop(viewer, QEvent::MouseMove, middle);
                    mouseFromDesktop(viewer, QEvent::MouseButtonRelease, middle, Qt::RightButton);
                    sweepTo = QPoint(-shown.width() / 2, -shown.height() / 2);
                    swept = QPoint(shown.left(), shown.top()) == sweepTo;
                    button(box, "Cancel")->click();
                }});
    model().PrintPreview1.click();

    EXPECT_TRUE(boxOnTop);
    EXPECT_FALSE(model().locked());
    EXPECT_TRUE(draggedBy);
    EXPECT_TRUE(swept) << "the sweep should reach " << sweepTo.x() << "," << sweepTo.y();
    EXPECT_GE(shown.width(), 1400);  // the preview of big.bmp
    EXPECT_EQ(program->tempform.mode, quillet::output::ViewerMode::Normal);
}

// Named for the scanner tests (leak checks off: the SANE test backend leaks).
class WaitingBoxesAcquireTest : public WaitingBoxes {};

TEST_F(WaitingBoxesAcquireTest, TheCounterLoweredWhileTheBoxesWaitScansTheLastPageAgain) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    quillet::ui::Tcounterform* counter = windows->counterform.get();
    quillet::app::NumberField& number = program->counterform.counterspinedit;
    number.setValue(4);
    // A click in the counter's field, then a key, as the user does.
    auto press = [&](Qt::Key key) {
        clickFromDesktop(counter->counter(), QPoint(4, counter->counter()->height() / 2));
        keyFromDesktop(counter, key);
    };
    int seenWhileScanDialogWaits = 0, seenWhileBoxWaits = 0;
    bool dialogsOnTop = true, boxClearOfCounter = false;
    auto scan = [&](QWidget* dialog) {
        dialogsOnTop = dialogsOnTop && staysOnTop(dialog);
        button(dialog, "Scan")->click();
    };
    auto ok = [&](QWidget* box) {
        dialogsOnTop = dialogsOnTop && staysOnTop(box);
        button(box, "OK")->click();
    };
    whenModals({[](QWidget* source) { button(source, "OK")->click(); },
                [&](QWidget* dialog) {
                    press(Qt::Key_Down);
                    seenWhileScanDialogWaits = number.value();
                    press(Qt::Key_Up);
                    scan(dialog);
                },
                [&](QWidget* box) {
                    boxClearOfCounter = !box->frameGeometry().intersects(counter->frameGeometry());
                    press(Qt::Key_Down);  // from 5 back to 4
                    seenWhileBoxWaits = number.value();
                    ok(box);
                },
                scan, ok, [](QWidget* dialog) { button(dialog, "Cancel")->click(); }});
    model().Acquire1.click();

    EXPECT_EQ(seenWhileScanDialogWaits, 3);
    EXPECT_EQ(seenWhileBoxWaits, 4);
    EXPECT_TRUE(dialogsOnTop);
    EXPECT_TRUE(boxClearOfCounter);
    // The second scan replaced page004.bmp; there is no page005.bmp.
    EXPECT_TRUE(std::filesystem::exists(folder.file("page004.bmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("page005.bmp")));
    EXPECT_EQ(number.value(), 5);
    EXPECT_EQ(model().Panel1.text(), "Saved to " + folder.file("page004.bmp"));
}

}  // namespace
