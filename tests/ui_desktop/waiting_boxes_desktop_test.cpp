// Boxes that wait for an answer on a real desktop (Xvfb with openbox), as a
// user meets them: what lies on top at a point is what the X server says,
// and the mouse and keys are the user's (xdotool). The print preview's box
// stays above the full-size preview while the preview is dragged, and
// answers a click; the scanner's dialog and "Press OK when scanner has
// stopped." leave the counter above them and free to be lowered.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <filesystem>

#include "acquire/sane_backend.h"
#include "real_desktop.h"
#include "ui/bmpform.h"
#include "ui/counter.h"
#include "ui/number_edit.h"
#include "ui/windows_rig.h"

namespace {

using quillet::uitest::RealDesktop;

class DesktopEnvironment : public ::testing::Environment {
public:
    void TearDown() override { RealDesktop::stop(); }
};
[[maybe_unused]] auto* const g_environment = ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

class Desktop : public quillet::uitest::WindowsTest {
protected:
    Desktop() { realDialogs = true; }
    void SetUp() override {
        if (!RealDesktop::start().empty()) GTEST_SKIP() << RealDesktop::start();
        WindowsTest::SetUp();
        ASSERT_TRUE(framed(&form1()));
    }

    // Shown by the window manager, in its frame.
    static bool framed(QWidget* w) {
        return QTest::qWaitFor([w] { return w->isVisible() && w->frameGeometry() != w->geometry(); }, 10000);
    }
    // Whether `w`'s window is what lies on top at `local` in `w`.
    static bool onTop(QWidget* w, QPoint local) {
        return QApplication::topLevelAt(w->mapToGlobal(local)) == w->window();
    }
    static bool onTop(QWidget* w) { return onTop(w, w->rect().center()); }
    // Clicks `b` with the mouse and waits for its box to go.
    static bool clickAway(QAbstractButton* b) {
        QWidget* box = b->window();
        RealDesktop::click(b->mapToGlobal(b->rect().center()));
        if (QTest::qWaitFor([box] { return !box->isVisible(); }, 10000)) return true;
        b->click();  // the test goes on to its end all the same
        return false;
    }
};

TEST_F(Desktop, ThePreviewBoxStaysOnTopOfTheDraggedPreviewAndAnswersTheMouse) {
    // One external page of its own, larger than the screen once previewed.
    for (int i = 1; i <= 3; ++i) std::filesystem::remove(folder.file("page" + std::to_string(i) + ".bmp"));
    quillet::imaging::saveBmp(quillet::imaging::Bitmap(1600, 1200), folder.file("1page.bmp"));
    model().FileListBox1.refill();
    model().FileListBox1.selectAll();
    const quillet::app::WindowModel& viewer = program->tempform.window;

    bool onTopWhenShown = false, onTopAfterDrag = false, dragged = false, answered = false;
    whenModals({[](QWidget* question) { button(question, "Yes")->click(); },
                [&](QWidget* box) {
                    onTopWhenShown = framed(box) && QTest::qWaitFor([&] { return onTop(box); }, 10000);
                    // A drag on the preview, where neither the box nor the main
                    // window lies: the desktop raises the preview as it is clicked.
                    const QPoint from = windows->tempform->mapToGlobal(QPoint(100, 100));
                    RealDesktop::xdotool("mousemove --sync " + std::to_string(from.x()) + " " +
                                         std::to_string(from.y()) + " mousedown 1 mousemove --sync " +
                                         std::to_string(from.x() + 30) + " " + std::to_string(from.y() + 20) +
                                         " mouseup 1");
                    dragged = QTest::qWaitFor([&] { return QPoint(viewer.left(), viewer.top()) == QPoint(30, 20); },
                                              10000);
                    onTopAfterDrag = QTest::qWaitFor([&] { return onTop(box) && onTop(button(box, "OK")); }, 10000);
                    answered = clickAway(button(box, "OK"));
                }});
    model().PrintPreview1.click();

    EXPECT_TRUE(onTopWhenShown);
    EXPECT_TRUE(dragged);
    EXPECT_TRUE(onTopAfterDrag);
    EXPECT_TRUE(answered);
    EXPECT_GE(viewer.width(), 1600);  // the preview of 1page.bmp, at one pixel per pixel
}

// Named for the scanner tests (leak checks off: the SANE test backend leaks).
class DesktopAcquireTest : public Desktop {};

TEST_F(DesktopAcquireTest, TheCounterStaysAboveTheScanBoxesAndIsLoweredWhileTheyWait) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    quillet::ui::Tcounterform* counter = windows->counterform.get();
    quillet::app::NumberField& number = program->counterform.counterspinedit;
    number.setValue(4);

    // A click in the counter's field and a key, as the user changes it.
    auto press = [&](const char* key, int want) {
        RealDesktop::click(counter->counter()->mapToGlobal(QPoint(6, counter->counter()->height() / 2)));
        RealDesktop::xdotool(std::string("key ") + key);
        return QTest::qWaitFor([&] { return number.value() == want; }, 10000);
    };
    bool dialogAndCounterSeen = false, changedUnderDialog = false, boxAndCounterSeen = false, lowered = false,
         answered = false;
    whenModals({[](QWidget* source) { button(source, "OK")->click(); },
                [&](QWidget* dialog) {
                    dialogAndCounterSeen = framed(dialog) && framed(counter) && QTest::qWaitFor([&] {
                        return onTop(counter) && onTop(button(dialog, "Scan")) && onTop(dialog, QPoint(10, 10));
                    }, 10000);
                    changedUnderDialog = press("Down", 3) && press("Up", 4);
                    clickAway(button(dialog, "Scan"));
                },
                [&](QWidget* box) {
                    boxAndCounterSeen = framed(box) && QTest::qWaitFor([&] {
                        return onTop(counter) && onTop(button(box, "OK"));
                    }, 10000);
                    lowered = press("Down", 4);  // from 5 back to 4
                    answered = clickAway(button(box, "OK"));
                },
                [](QWidget* dialog) { button(dialog, "Scan")->click(); },
                [](QWidget* box) { button(box, "OK")->click(); },
                [](QWidget* dialog) { button(dialog, "Cancel")->click(); }});
    model().Acquire1.click();

    EXPECT_TRUE(dialogAndCounterSeen);
    EXPECT_TRUE(changedUnderDialog);
    EXPECT_TRUE(boxAndCounterSeen);
    EXPECT_TRUE(lowered);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(std::filesystem::exists(folder.file("page004.bmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("page005.bmp")));
    EXPECT_EQ(number.value(), 5);
    EXPECT_EQ(model().Panel1.text(), "Saved to " + folder.file("page004.bmp"));
}

}  // namespace
