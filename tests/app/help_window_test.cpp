// The context help window: F1 placement, the drag by the text area and the
// cross pointer's reset over the main window.
#include <gtest/gtest.h>

#include "app/help_window.h"
#include "support/fake_platform.h"

namespace quillet::app {
namespace {

struct HelpWindowTest : ::testing::Test {
    testing::FakePlatform fake;
    MousePointer pointer;
    HelpWindow help{fake, pointer};
};

TEST_F(HelpWindowTest, F1TwiceHidesAgainAndEachPressPlacesItAtTheBottomCentre) {
    fake.screen = {1023, 767};  // odd width: the half rounds toward zero
    help.Help1Click();
    EXPECT_TRUE(help.window.visible());
    EXPECT_EQ(help.window.left(), (1023 - 284) / 2);
    EXPECT_EQ(help.window.top(), 767 - 85);

    help.memoMouseDown(10, 10);  // the user drags it away
    help.memoMouseMove(110, 60);
    help.memoMouseUp(110, 60);
    ASSERT_NE(help.window.left(), (1023 - 284) / 2);

    help.Help1Click();
    EXPECT_FALSE(help.window.visible());
    EXPECT_EQ(help.window.left(), 369);
    EXPECT_EQ(help.window.top(), 682);
}

TEST_F(HelpWindowTest, DragMovesByTheOffsetEmptiesTheTextAndEndsWithNormalPointer) {
    help.window.moveTo(100, 200);
    help.hintChanged("some help");
    EXPECT_EQ(help.memoText(), "\t\t\t\t       some help");

    help.memoMouseDown(20, 30);
    EXPECT_EQ(help.memoText(), "");
    EXPECT_TRUE(pointer.isCross());
    help.memoMouseMove(25, 40);
    EXPECT_EQ(help.window.left(), 105);
    EXPECT_EQ(help.window.top(), 210);
    help.memoMouseUp(18, 33);  // one more move by the same rule
    EXPECT_EQ(help.window.left(), 103);
    EXPECT_EQ(help.window.top(), 213);
    EXPECT_FALSE(pointer.isCross());

    // Without the cross a move does nothing.
    help.hintChanged("again");
    help.memoMouseMove(200, 200);
    EXPECT_EQ(help.window.left(), 103);
    EXPECT_EQ(help.memoText(), "\t\t\t\t       again");
}

TEST_F(HelpWindowTest, MainWindowSurfaceResetsALeftOverCross) {
    help.memoMouseDown(1, 1);  // the button release is lost
    ASSERT_TRUE(pointer.isCross());
    mainFormMouseMove(pointer);
    EXPECT_FALSE(pointer.isCross());
    mainFormMouseMove(pointer);  // harmless when already normal
    EXPECT_FALSE(pointer.isCross());
}

TEST_F(HelpWindowTest, ATextTooLongGrowsTheWindowUpwardsAndItNeverShrinks) {
    help.window.setFrameExtents(2, 24);
    fake.screen = {1024, 768};
    help.Help1Click();  // on the bottom edge: 768 - (85 + 24)
    ASSERT_EQ(help.window.top(), 659);
    struct Step {
        int need, height, top;
    };
    for (const Step& s : {Step{60, 85, 659}, Step{140, 140, 604}, Step{100, 140, 604}}) {
        help.fitTextHeight(s.need);
        EXPECT_EQ(help.window.height(), s.height) << s.need;
        EXPECT_EQ(help.window.top(), s.top) << s.need;
        EXPECT_EQ(help.window.top() + help.window.outerHeight(), 768) << s.need;
    }
}

}  // namespace
}  // namespace quillet::app
