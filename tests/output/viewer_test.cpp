// The bitmap viewer: placement, the double-click divisors, dragging and
// sweeping, recovery of a window dragged off the screen, Escape and F12,
// View From Other Directory and the external-viewer fallback.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/mouse_pointer.h"
#include "imaging/bmp_file.h"
#include "output/viewer.h"
#include "support/fake_platform.h"

namespace quillet::output {
namespace {

namespace fs = std::filesystem;

struct ViewerTest : ::testing::Test {
    testing::FakePlatform fake;
    app::MainForm form;
    app::MousePointer pointer;
    Viewer viewer{fake, form, pointer};
    fs::path dir = fs::temp_directory_path() /
                   ("quillet-viewertest-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                    "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());

    ViewerTest() {
        fs::remove_all(dir);
        fs::create_directories(dir);
        fake.tempDir = dir.string();
    }
    ~ViewerTest() override { fs::remove_all(dir); }

    void show(int w, int h) {
        viewer.setBitmap(imaging::Bitmap(w, h));
        viewer.refresh();
    }
    std::vector<int> divisors(int clicks) {
        std::vector<int> out;
        for (int i = 0; i < clicks; ++i) {
            viewer.doubleClick();
            out.push_back(viewer.ViewerScale);
        }
        return out;
    }
};

TEST_F(ViewerTest, CreationPlacesTheWindowAtTheTopRight) {
    viewer.setBitmap(imaging::Bitmap(258, 71));
    viewer.install();
    EXPECT_EQ(viewer.window.left(), 1024 - 258);
    EXPECT_EQ(viewer.window.top(), 0);
    EXPECT_EQ(viewer.window.width(), 258);
    EXPECT_EQ(viewer.window.height(), 71);
    EXPECT_TRUE(viewer.window.stayOnTop());
}

TEST_F(ViewerTest, DoubleClickDivisorSequencesOn1024x768) {
    struct Case { int w, h; std::vector<int> expected; };
    for (const Case& c : std::vector<Case>{{600, 800, {2, 4, 1, 2}},
                                           {5000, 7000, {2, 4, 8, 16, 32, 1}},
                                           {100, 100, {1, 1}},
                                           {512, 100, {2, 1}}}) {
        show(c.w, c.h);
        EXPECT_EQ(divisors(int(c.expected.size())), c.expected) << c.w << "x" << c.h;
        EXPECT_EQ(viewer.window.width(), c.w / viewer.ViewerScale);
        EXPECT_EQ(viewer.window.height(), c.h / viewer.ViewerScale);
    }
    // The 600 x 800 case shows 300 x 400 after the first double-click.
    show(600, 800);
    viewer.doubleClick();
    EXPECT_EQ(viewer.window.width(), 300);
    EXPECT_EQ(viewer.window.height(), 400);
}

TEST_F(ViewerTest, DoubleClickDuringPreviewDoesNothing) {
    show(600, 800);
    viewer.setMode(ViewerMode::Preview);
    viewer.doubleClick();
    EXPECT_EQ(viewer.ViewerScale, 1);
    EXPECT_EQ(viewer.window.width(), 600);
}

TEST_F(ViewerTest, LeftDragFollowsTheMouseAndOffScreenReleaseComesBack) {
    show(300, 200);
    viewer.window.moveTo(500, 100);
    viewer.mouseDown(10, 10);
    EXPECT_TRUE(pointer.isCross());
    viewer.mouseMove(10, -400, {510, -290}, {true, false});  // dragged far above the screen
    EXPECT_EQ(viewer.window.top(), -310);
    viewer.mouseMove(-900, -400, {0, 0}, {true, false});  // and off the left edge
    EXPECT_EQ(viewer.window.left(), -410);
    viewer.mouseUp();
    EXPECT_EQ(viewer.window.top(), 0);
    EXPECT_EQ(viewer.window.left(), 0);
    EXPECT_FALSE(pointer.isCross());

    // Off the bottom and right edges: back to 0 as well; partly visible stays.
    struct Case { int left, top, wantLeft, wantTop; };
    for (const Case& c : std::vector<Case>{{1024, 768, 0, 0},
                                           {1023, 767, 1023, 767},
                                           {-299, -199, -299, -199},
                                           {-301, -201, 0, 0}}) {
        viewer.window.moveTo(c.left, c.top);
        viewer.mouseDown(0, 0);
        viewer.mouseUp();
        EXPECT_EQ(viewer.window.left(), c.wantLeft) << c.left;
        EXPECT_EQ(viewer.window.top(), c.wantTop) << c.top;
    }
}

TEST_F(ViewerTest, MovesWithoutTheCrossOrWithoutButtonsDoNothing) {
    show(300, 200);
    viewer.window.moveTo(50, 60);
    viewer.mouseMove(100, 100, {0, 0}, {true, false});  // no button went down here
    EXPECT_EQ(viewer.window.left(), 50);
    viewer.mouseDown(0, 0);
    viewer.mouseMove(100, 100, {0, 0}, {});
    EXPECT_FALSE(pointer.isCross());
    EXPECT_EQ(viewer.window.left(), 50);
}

TEST_F(ViewerTest, RightButtonSweepsALargeWindowAndEndsAtOnceOnASmallOne) {
    show(3000, 2000);
    viewer.mouseDown(5, 5);
    viewer.mouseMove(5, 5, {0, 0}, {false, true});
    EXPECT_EQ(viewer.window.left(), 0);
    EXPECT_EQ(viewer.window.top(), 0);
    viewer.mouseMove(5, 5, {512, 700}, {false, true});
    EXPECT_EQ(viewer.window.left(), -(3000 * 512) / 1024);
    EXPECT_EQ(viewer.window.top(), -(2000 * 700) / 768);  // -1822, truncated toward zero
    EXPECT_TRUE(pointer.isCross());

    show(800, 2000);  // narrower than the screen
    viewer.window.moveTo(10, 20);
    viewer.mouseDown(5, 5);
    viewer.mouseMove(5, 5, {512, 700}, {false, true});
    EXPECT_FALSE(pointer.isCross());
    EXPECT_EQ(viewer.window.left(), 10);
    EXPECT_EQ(viewer.window.top(), 20);
}

TEST_F(ViewerTest, EscapeHidesAndF12ShowsWithItsStatusText) {
    show(100, 50);
    viewer.keyPress('a');
    EXPECT_TRUE(viewer.window.visible());
    viewer.keyPress(27);
    EXPECT_FALSE(viewer.window.visible());
    viewer.ToggleViewerWindow1Click();
    EXPECT_TRUE(viewer.window.visible());
    EXPECT_EQ(form.Panel1.text(), "Bitmap Viewer ON");
    viewer.ToggleViewerWindow1Click();
    EXPECT_FALSE(viewer.window.visible());
    EXPECT_EQ(form.Panel1.text(), "Bitmap Viewer OFF");
}

TEST_F(ViewerTest, ShowFileReplacesTheBitmapResetsScaleAndClampsNegativeEdges) {
    const std::string good = (dir / "good.bmp").string();
    imaging::saveBmp(imaging::Bitmap(640, 480), good);
    show(5000, 7000);
    viewer.doubleClick();
    viewer.window.moveTo(-10, -20);
    viewer.showFile(good);
    EXPECT_EQ(viewer.ViewerScale, 1);
    EXPECT_EQ(viewer.window.left(), 0);
    EXPECT_EQ(viewer.window.top(), 0);
    EXPECT_EQ(viewer.window.width(), 640);

    const std::string bad = (dir / "bad.bmp").string();
    std::ofstream(bad) << "not a bitmap at all";
    EXPECT_THROW(viewer.showFile(bad), std::exception);
    EXPECT_TRUE(viewer.ViewerBitmap.isEmpty());
    // The window shows the empty bitmap it was left with, not the last page's
    // size in white.
    EXPECT_EQ(viewer.window.width(), 0);
    EXPECT_EQ(viewer.window.height(), 0);
}

TEST_F(ViewerTest, ViewFromOtherDirectoryUsesTheOutputDirectoryRule) {
    form.FileListBox1.setDirectory(dir.string());
    viewer.window.hide();

    viewer.Viewfromotherdirectory1Click();  // cancelled
    ASSERT_EQ(fake.openFileRequests.size(), 1u);
    EXPECT_EQ(fake.openFileRequests[0].directory, dir.string());
    EXPECT_EQ(fake.openFileRequests[0].filter, "Bitmap Files(*.BMP) | *.BMP");
    EXPECT_EQ(fake.openFileRequests[0].fileName, "*.bmp");
    EXPECT_EQ(form.OutputDirectory, dir.string());
    EXPECT_FALSE(viewer.window.visible());

    const std::string other = (dir / "other.bmp").string();
    imaging::saveBmp(imaging::Bitmap(120, 90), other);
    form.OutputDirectory = "/";
    form.OutputDirectoryChosen = true;  // a chosen directory is kept
    viewer.window.moveTo(-5, 3);
    fake.openFileAnswers.push_back(other);
    viewer.Viewfromotherdirectory1Click();
    EXPECT_EQ(fake.openFileRequests[1].directory, "/");
    EXPECT_TRUE(viewer.window.visible());
    EXPECT_EQ(viewer.window.left(), 0);
    EXPECT_EQ(viewer.window.width(), 120);
    EXPECT_EQ(viewer.ViewerScale, 1);

    // A file that cannot be loaded: the general error report.
    const std::string bad = (dir / "bad.bmp").string();
    std::ofstream(bad) << "junk";
    fake.openFileAnswers.push_back(bad);
    viewer.Viewfromotherdirectory1Click();
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].kind, app::MessageKind::Error);
    EXPECT_EQ(fake.messages[0].text.back(), '.');
}

TEST_F(ViewerTest, TooLargeBitmapGoesToTheExternalViewerWithoutFreezing) {
    show(100, 100);
    viewer.setBitmap(imaging::Bitmap(20000, 30));  // wider than the view can draw
    viewer.refresh();
    EXPECT_FALSE(viewer.window.visible());
    EXPECT_EQ(viewer.window.width(), 100);
    EXPECT_EQ(viewer.window.height(), 100);
    const std::string temp = (dir / "tempprev.bmp").string();
    ASSERT_EQ(fake.openedFiles, std::vector<std::string>{temp});
    EXPECT_EQ(imaging::loadBmp(temp).width(), 20000);
    EXPECT_EQ(fake.messageTexts(), std::vector<std::string>{Viewer::kColourDepthWarning});
    EXPECT_EQ(fake.messages[0].caption, "Warning");

    // Opening fails: both warnings, the temporary-file one first.
    fake.messages.clear();
    fake.openSucceeds = false;
    viewer.show();
    EXPECT_EQ(fake.messageTexts(),
              (std::vector<std::string>{Viewer::kTempFileWarning, Viewer::kColourDepthWarning}));
}

TEST_F(ViewerTest, DrawableLimitsSidesAndArea) {
    struct Case { int w, h, scale; bool drawable; };
    for (const Case& c : std::vector<Case>{{16384, 10, 1, true},
                                           {16385, 10, 1, false},
                                           {10, 16385, 2, true},
                                           {16384, 16384, 1, true},    // exactly 2^28
                                           {16384, 16385, 1, false},
                                           {0, 0, 1, true}}) {
        viewer.setBitmap(imaging::Bitmap(c.w, c.h));
        viewer.ViewerScale = c.scale;
        EXPECT_EQ(viewer.drawable(), c.drawable) << c.w << "x" << c.h << "/" << c.scale;
    }
}

TEST_F(ViewerTest, DoubleClickBackToAnUndrawableSizeHidesWithTheWarning) {
    viewer.setBitmap(imaging::Bitmap(17000, 100));
    viewer.ViewerScale = 2;  // drawable at half size
    viewer.paint();
    ASSERT_TRUE(viewer.window.visible());
    // 8500 is not below 512, so the next is 4, then 8, 16, 32: 531 still not
    // below 512, 64: 265 is, and the next double-click returns to 1.
    EXPECT_EQ(divisors(5), (std::vector<int>{4, 8, 16, 32, 64}));
    viewer.doubleClick();
    EXPECT_EQ(viewer.ViewerScale, 1);
    EXPECT_FALSE(viewer.window.visible());
    EXPECT_EQ(viewer.window.width(), 100);
    EXPECT_EQ(fake.messageTexts(), std::vector<std::string>{Viewer::kColourDepthWarning});
    EXPECT_TRUE(fake.openedFiles.empty());  // no external viewer on this path
}

}  // namespace
}  // namespace quillet::output
