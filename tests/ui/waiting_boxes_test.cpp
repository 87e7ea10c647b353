// Boxes that wait for an answer, on the real Qt windows with the desktop's
// own dialogs: they come up to stay on top, and they are modal to the main
// window alone, so that the viewer (a preview to drag about) keeps taking
// input while they wait. Input goes through Qt's window-system queue, as the
// desktop's does, so a blocked window never sees it. (The scan counter's
// part is tried on a real desktop: tests/ui_desktop.)

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QWindow>
#include <filesystem>

#include "desktop_input.h"
#include "ui/bmpform.h"
#include "windows_rig.h"

namespace {

using quillet::uitest::clickFromDesktop;
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

}  // namespace
