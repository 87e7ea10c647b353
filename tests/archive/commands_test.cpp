// The file list's archive commands through the Program and the scripted
// platform: adding with the confirmation walk, the archive view, extracting,
// and the routing of the engine's messages.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive_rig.h"
#include "support/file_size_limit.h"
#include "program/program.h"

namespace quillet::archive::test {
namespace {

namespace fs = std::filesystem;
using app::Button;
using testing::TempDir;

struct CommandsTest : ::testing::Test {
    TempDir dir{"quillet-zipcmd"};
    TempDir out{"quillet-zipout"};
    testing::FakePlatform fake;
    fs::path cwd = fs::current_path();
    std::vector<std::string> panel;  // every status write

    ~CommandsTest() override { fs::current_path(cwd); }

    std::unique_ptr<app::Program> start() {
        auto p = std::make_unique<app::Program>(fake, dir.path(), "");
        p->form.Panel1.written.connect([this, f = &p->form] { panel.push_back(f->Panel1.text()); });
        return p;
    }
    void writeBitmaps(int n) {
        for (int i = 1; i <= n; ++i) dir.writeText("page" + std::to_string(i) + ".bmp", "bitmap " + std::to_string(i));
    }
    std::vector<std::string> entriesOf(const std::string& archive) {
        TZipMaster reader(fake);
        reader.setZipFileName(archive);
        std::vector<std::string> names;
        for (const ZipEntry& e : reader.ZipContents()) names.push_back(e.name);
        return names;
    }
    // Shows the archives and puts the focus on `name`.
    void showArchive(app::Program& p, const std::string& name) {
        p.form.Showzipfiles1.click();
        const auto& entries = p.form.FileListBox1.entries();
        const auto it = std::find(entries.begin(), entries.end(), name);
        ASSERT_NE(it, entries.end()) << name;
        p.form.FileListBox1.setCurrentIndex(int(it - entries.begin()));
    }
};

TEST_F(CommandsTest, AddRightAfterStartWithAllAsksOnceAndKeepsTheBitmaps) {
    writeBitmaps(2);
    for (const bool chosen : {false, true}) {
        fake.messages.clear();
        fake.buttonAnswers = {Button::All};
        auto p = start();
        if (chosen) {
            p->form.OutputDirectory = out.path();
            p->form.OutputDirectoryChosen = true;
        }
        p->form.Addselectedfilesto1.click();  // the A key: enabled from the start
        const std::string archive = (chosen ? out : dir).file("page.zip");
        EXPECT_EQ(fake.messageTexts(),
                  std::vector<std::string>{"Are you sure you want to add page1.bmp to the page.zip file?"});
        EXPECT_EQ(entriesOf(archive), (std::vector<std::string>{"page1.bmp", "page2.bmp"})) << chosen;
        EXPECT_TRUE(dir.exists("page1.bmp") && dir.exists("page2.bmp"));
    }
}

TEST_F(CommandsTest, AddWalkAndAMissingLibraryShownOncePerConfirmedFile) {
    writeBitmaps(4);
    // Each notice takes an answer of the script too.
    fake.buttonAnswers = {Button::Yes, Button::Ok, Button::No, Button::Yes, Button::Ok, Button::Cancel};
    auto p = start();
    TempDir empty{"quillet-nolib"};
    p->ZipMaster1.LibraryDirectories = {empty.path()};
    p->form.Addselectedfilesto1.click();
    const std::vector<std::string> expected{
        "Are you sure you want to add page1.bmp to the page.zip file?", "ZIPDLL.DLL not found!",
        "Are you sure you want to add page2.bmp to the page.zip file?",
        "Are you sure you want to add page3.bmp to the page.zip file?", "ZIPDLL.DLL not found!",
        "Are you sure you want to add page4.bmp to the page.zip file?"};
    EXPECT_EQ(fake.messageTexts(), expected);
    EXPECT_EQ(p->form.Panel1.text(), "Added 0 of 2 bitmaps to " + dir.file("page.zip"));
    EXPECT_FALSE(dir.exists("page.zip"));
}

TEST_F(CommandsTest, ArchiveViewOfAFolderWithoutArchivesAndBack) {
    writeBitmaps(2);
    auto p = start();
    app::MainForm& f = p->form;
    f.Showzipfiles1.click();
    EXPECT_TRUE(f.ZipListMode && f.Showzipfiles1.checked());
    EXPECT_EQ(f.FileListBox1.mask(), "*.zip");
    EXPECT_EQ(f.Panel1.text(), "No zip files.");
    EXPECT_EQ(f.hintOf("FileListBox1"), app::MainForm::kFileListZipHint);
    EXPECT_FALSE(f.lockselection.enabled());
    f.PopupMenu1.click();
    EXPECT_FALSE(f.Extract.enabled());
    EXPECT_EQ(f.Extract.caption(), "Unpack files from...........................");
    EXPECT_FALSE(f.Addselectedfilesto1.enabled());
    EXPECT_EQ(f.Addselectedfilesto1.caption(), "Add selected files to page.zip in " + dir.path());

    f.Showzipfiles1.click();
    EXPECT_FALSE(f.ZipListMode);
    EXPECT_EQ(f.FileListBox1.count(), 2);
    EXPECT_TRUE(f.lockselection.enabled());
    EXPECT_FALSE(f.Extract.enabled());
    EXPECT_TRUE(f.Addselectedfilesto1.enabled());
    EXPECT_EQ(f.hintOf("FileListBox1"), app::MainForm::kFileListBitmapHint);
}

TEST_F(CommandsTest, ExtractOneAndTwelveEntriesByItemAndDoubleClick) {
    dir.makeDir("src");
    for (int i = 1; i <= 12; ++i) dir.writeText("src/p" + std::to_string(i) + ".bmp", std::to_string(i));
    ASSERT_EQ(::system(("cd " + shellQuote(dir.file("src")) + " && zip -q ../one.zip p1.bmp && zip -q ../all.zip *.bmp").c_str()), 0);
    struct Case { const char* archive; bool doubleClick; std::string status, done; int files; };
    for (const Case& c : {Case{"one.zip", false, "Now extracting the file from " + dir.file("one.zip"), "Extracted 1 file", 1},
                          Case{"all.zip", true, "Now extracting all 12 files from " + dir.file("all.zip"), "Extracted 12 files", 12}}) {
        TempDir target{"quillet-zipinto"};
        auto p = start();
        p->form.OutputDirectory = target.path();
        p->form.OutputDirectoryChosen = true;
        showArchive(*p, c.archive);
        p->form.PopupMenu1.click();
        EXPECT_EQ(p->form.Extract.caption(), std::string("Unpack files from ") + c.archive + " to " + target.path());
        panel.clear();
        if (c.doubleClick) p->form.FileListBox1.onDoubleClick(); else p->form.Extract.click();
        EXPECT_EQ(panel, (std::vector<std::string>{c.status, c.done + " to " + target.path()}));
        EXPECT_EQ(int(target.names().size()), c.files);
        EXPECT_EQ(fileBytes(target.file("p1.bmp")), "1");
    }
}

TEST_F(CommandsTest, UnreadableArchivesSayWhyAndNothingIsWritten) {
    writeFile(dir.file("empty.zip"), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    dir.writeText("text.zip");
    writeArchive(dir.file("good.zip"), {{"a.bmp", std::string(3000, 'a')}});
    const std::string bytes = fileBytes(dir.file("good.zip"));
    writeFile(dir.file("half.zip"), bytes.substr(0, bytes.size() / 2));
    struct Case { const char* archive; std::vector<std::string> boxes; };
    const std::vector<Case> cases{
        {"empty.zip", {"No files in archive!"}},
        {"text.zip", {"Error while reading the End Of Central Directory", "No files in archive!"}},
        {"half.zip", {"Error while reading the End Of Central Directory", "No files in archive!"}},
    };
    for (const Case& c : cases) {
        fake.messages.clear();
        auto p = start();
        p->form.OutputDirectory = out.path();
        p->form.OutputDirectoryChosen = true;
        showArchive(*p, c.archive);
        p->form.Extract.click();
        EXPECT_EQ(fake.messageTexts(), c.boxes) << c.archive;
        EXPECT_TRUE(out.names().empty()) << c.archive;
    }
}

TEST_F(CommandsTest, AnArchiveThatCannotBeWrittenStopsTheAddOnlyWhenAsked) {
    writeBitmaps(3);
    for (const bool stop : {false, true}) {
        fake.messages.clear();
        fake.buttonAnswers = {Button::All};
        auto p = start();
        p->archiveCommands.stopAddAtArchiveFailure = stop;
        {
            const testing::FileSizeLimit limit(16);  // no archive fits
            p->form.Addselectedfilesto1.click();
        }
        const std::vector<std::string> boxes = fake.messageTexts();
        ASSERT_EQ(boxes.size(), 3u) << stop;  // the question, the fault once, the summary
        EXPECT_EQ(boxes[1], "Some error occured!");
        EXPECT_EQ(boxes[2].rfind(stop ? "1 file was not added:\nCannot write the archive "
                                      : "3 files were not added:\nCannot write the archive ", 0),
                  0u)
            << boxes[2];
        EXPECT_EQ(p->form.Panel1.text(), (stop ? "Added 0 of 1 bitmap to " : "Added 0 of 3 bitmaps to ") + dir.file("page.zip"));
        EXPECT_FALSE(dir.exists("page.zip"));
    }
}

TEST_F(CommandsTest, ExtractEndsWithOneSummaryOfWhatWasSkippedAndWhy) {
    std::vector<HandEntry> slips;
    for (int i = 1; i <= 5; ++i) slips.push_back({"../e" + std::to_string(i) + ".bmp", "x"});
    slips.push_back({"ok.bmp", "ok"});
    writeArchive(dir.file("slip.zip"), slips);
    writeArchive(dir.file("big.zip"), {{"a.bmp", "aaaaaaaaaa"}, {"b.bmp", "bbbbbbbbbb"}, {"c.bmp", "cccccccccc"}});
    const std::string climbs = ": its name climbs out of the folder with \"..\"";
    struct Case { const char* archive; rlim_t limit; std::vector<std::string> boxes; std::string done; };
    const Case cases[] = {
        {"slip.zip", RLIM_INFINITY,
         {"5 entries were not extracted:\nSkipped ../e1.bmp" + climbs + "\nSkipped ../e2.bmp" + climbs +
          "\nSkipped ../e3.bmp" + climbs + "\nand 2 more."},
         "Extracted 1 of 6 files to "},
        // Every write fails: the library's fault box once, then the summary.
        {"big.zip", 1,
         {"Some error occured!", "3 entries were not extracted:\nCannot extract a.bmp: File too large\n"
                                 "Cannot extract b.bmp: File too large\nCannot extract c.bmp: File too large"},
         "Extracted 0 of 3 files to "},
    };
    for (const Case& c : cases) {
        TempDir target{"quillet-zipinto"};
        fake.messages.clear();
        auto p = start();
        p->form.OutputDirectory = target.path();
        p->form.OutputDirectoryChosen = true;
        showArchive(*p, c.archive);
        {
            const testing::FileSizeLimit limit(c.limit);
            p->form.Extract.click();
        }
        EXPECT_EQ(fake.messageTexts(), c.boxes) << c.archive;
        EXPECT_EQ(p->form.Panel1.text(), c.done + target.path());
    }
}

TEST_F(CommandsTest, EngineMessagesAndDoubleClickInTheBitmapView) {
    writeBitmaps(1);
    auto p = start();
    p->form.FileListBox1.onDoubleClick();  // the bitmap view: nothing archive-related
    EXPECT_TRUE(fake.messages.empty());
    struct Case { int code; std::string text; std::string panel; std::vector<std::string> boxes; };
    const std::vector<Case> cases{
        {0, "Skipped x.bmp: the file exists", "Skipped x.bmp: the file exists", {}},
        {0, "Warning - Error in zip structure!", "before", {}},
        {0, "", "before", {}},
        {28, "Cannot add x.bmp", "before", {"Some error occured!"}},
    };
    for (const Case& c : cases) {
        fake.messages.clear();
        p->form.Panel1.setText("before");
        p->ZipMaster1.OnMessage(c.code, c.text);
        EXPECT_EQ(p->form.Panel1.text(), c.panel) << c.text;
        EXPECT_EQ(fake.messageTexts(), c.boxes) << c.text;
    }
}

}  // namespace
}  // namespace quillet::archive::test
