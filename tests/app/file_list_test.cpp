// The file list: which files it shows, their order, and the order of its
// click and change notifications.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/bitmap_list.h"
#include "app/drives.h"
#include "app/file_list.h"
#include "temp_dir.h"

namespace quillet::app {
namespace {

using test::TempDir;

TEST(FileList, ListsOrdinaryMatchingFilesSortedWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"page2.bmp", "page10.bmp", "B.BMP", "a.Bmp", "c.bmp", "notes.txt",
                             "scan.bmpx", "archive.zip", ".hidden.bmp"})
        dir.writeText(name);
    dir.makeDir("folder.bmp");

    FileList list;
    list.setDirectory(dir.path());
    EXPECT_EQ(list.entries(),
              (std::vector<std::string>{"a.Bmp", "B.BMP", "c.bmp", "page10.bmp", "page2.bmp"}));
    EXPECT_EQ(list.selectedCount(), 0);
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_TRUE(list.lastError().empty());

    list.setMask("*.zip");
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"archive.zip"}));
}

TEST(FileList, UnreadableDirectoryGivesAnEmptyListAndSaysWhy) {
    TempDir dir;
    dir.writeText("plain.bmp");
    FileList list;
    int changes = 0;
    list.onChange = [&] { ++changes; };
    for (const std::string& bad : {dir.file("missing"), dir.file("plain.bmp")}) {
        list.setDirectory(bad);
        EXPECT_EQ(list.count(), 0) << bad;
        EXPECT_NE(list.lastError().find(bad), std::string::npos) << list.lastError();
    }
    EXPECT_EQ(changes, 2);  // a failed refill still notifies
    list.setDirectory(dir.path());
    EXPECT_TRUE(list.lastError().empty());
    EXPECT_EQ(list.count(), 1);
}

TEST(FileList, JoinsPathsWithoutDoublingTheSeparator) {
    FileList list;
    struct Case { std::string dir, shown, joined; };
    for (const Case& c : std::vector<Case>{{"/", "/", "/a.bmp"},
                                           {"", "/", "/a.bmp"},
                                           {"/tmp/", "/tmp", "/tmp/a.bmp"},
                                           {"/tmp/./x/..", "/tmp", "/tmp/a.bmp"}}) {
        list.setDirectory(c.dir);
        EXPECT_EQ(list.directory(), c.shown) << c.dir;
        EXPECT_EQ(list.pathOf("a.bmp"), c.joined) << c.dir;
    }
}

TEST(FileList, ClickIsSentBeforeTheChangeItCausesAndChangeOnlyWhenTheEntryMoved) {
    TempDir dir;
    dir.writePages(5);
    FileList list;
    list.setDirectory(dir.path());
    std::vector<std::string> events;
    list.onClick = [&] { events.push_back("click " + std::to_string(list.currentIndex())); };
    list.onChange = [&] { events.push_back("change " + std::to_string(list.currentIndex())); };

    list.userClick(2);
    list.userClick(2);  // same entry: no change
    list.userClick(4, /*ctrl=*/true);
    EXPECT_EQ(events, (std::vector<std::string>{"click 2", "change 2", "click 2", "click 4",
                                                "change 4"}));
    EXPECT_TRUE(list.hasFocus);
}

TEST(FileList, SelectionGestures) {
    TempDir dir;
    dir.writePages(6);  // page1 page2 page3 page4 page5 page6
    FileList list;
    list.setDirectory(dir.path());
    auto selected = [&] {
        std::string s;
        for (int i = 0; i < list.count(); ++i) s += list.selected(i) ? '1' : '0';
        return s;
    };
    list.userClick(1);
    EXPECT_EQ(selected(), "010000");
    list.userClick(4, false, true);  // shift: range from the anchor
    EXPECT_EQ(selected(), "011110");
    list.userClick(2, true);  // ctrl: toggle one
    EXPECT_EQ(selected(), "010110");
    list.userClick(0, false, true);  // shift from the ctrl-clicked anchor replaces
    EXPECT_EQ(selected(), "111000");
    list.userSelectionChanged({5, 3, 99}, 5);
    EXPECT_EQ(selected(), "000101");
    EXPECT_EQ(list.currentIndex(), 5);
    EXPECT_EQ(list.selectedNames(), (std::vector<std::string>{"page4.bmp", "page6.bmp"}));
}

TEST(SelectionCounter, Texts) {
    EXPECT_EQ(selectionCounterText(0), "No bitmaps selected.");
    EXPECT_EQ(selectionCounterText(1), "1 bitmap selected.");
    EXPECT_EQ(selectionCounterText(2), "2 bitmaps selected.");
    EXPECT_EQ(selectionCounterText(300), "300 bitmaps selected.");
}

}  // namespace
}  // namespace quillet::app

namespace quillet::app {
namespace {

TEST(Drives, TheDriveOfADirectoryIsTheLongestRootThatHoldsIt) {
    const std::vector<std::string> roots{"/", "/media/a", "/mnt/share"};
    struct Case { const char* path; const char* root; };
    for (const Case& c : std::vector<Case>{{"/", "/"},
                                           {"/home/user", "/"},
                                           {"/media/a", "/media/a"},
                                           {"/media/a/scans", "/media/a"},
                                           {"/media/ab/scans", "/"},
                                           {"/mnt/share/x/y", "/mnt/share"}})
        EXPECT_EQ(volumeRootOf(roots, c.path), c.root) << c.path;

    DriveList drives(roots);
    int handlerRuns = 0;
    drives.onChange = [&] { ++handlerRuns; };
    drives.followDirectory("/mnt/share/x");
    EXPECT_EQ(drives.currentRoot(), "/mnt/share");
    EXPECT_EQ(handlerRuns, 0);  // following the directory list is not a user change
    drives.userSelect(1);
    EXPECT_EQ(handlerRuns, 1);
    drives.userSelect(7);  // out of range: ignored
    EXPECT_EQ(handlerRuns, 1);
}

TEST(Drives, MountedVolumesAlwaysHoldTheRootAndNoPseudoFileSystems) {
    const std::vector<std::string> roots = mountedVolumeRoots();
    ASSERT_FALSE(roots.empty());
    EXPECT_EQ(roots.front(), "/");
    for (const auto& r : roots)
        for (const char* pseudo : {"/proc", "/sys", "/dev/pts", "/sys/fs/cgroup"})
            EXPECT_NE(r, pseudo);
}

}  // namespace
}  // namespace quillet::app
