// Set Output Directory, Delete Selected Files and Move Selected Files through
// the main window's menu items, over real temporary directories, with the
// scripted platform answering the questions.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/directory_creation.h"
#include "app/file_commands.h"
#include "app/file_operations.h"
#include "app/main_form.h"
#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "program/program.h"
#include "support/fake_platform.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace quillet::app;
using quillet::testing::FakePlatform;

namespace {

using quillet::testing::TempDir;

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

using quillet::testing::fileBytes;

// Names in a directory, sorted.
std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// The desktop with a picker that behaves like the real one: each text the
// user types in the "Directory Name" box is decided on OK, asking the
// creation question through a confirmation box.
class PickerPlatform : public FakePlatform {
public:
    std::deque<std::string> typedNames;  // one per OK press; none left = Cancel

    DirectoryPickerResult pickDirectory(const std::string& start) override {
        FakePlatform::pickDirectory(start);  // records the request
        while (!typedNames.empty()) {
            const std::string text = typedNames.front();
            typedNames.pop_front();
            PickerOkDecision d = decidePickerOk(text, start, [&] {
                return askConfirmation(*this, kCreateDirectoryQuestion, {Button::Yes, Button::No}) ==
                       Button::Yes;
            });
            if (d.step == PickerOkDecision::Step::Accept)
                return {DirectoryPickerResult::Outcome::Ok, d.directory};
            if (d.step == PickerOkDecision::Step::Fail) return {DirectoryPickerResult::Outcome::Failure, {}};
        }
        return {DirectoryPickerResult::Outcome::Cancel, {}};
    }
};

class FileCommands : public ::testing::Test {
protected:
    void SetUp() override {
        savedCwd = fs::current_path();
        installFileCommands(form, platform);
        auto previous = form.FileListBox1.onChange;
        form.FileListBox1.onChange = [this, previous] {
            ++listChanges;
            if (previous) previous();
        };
    }
    void TearDown() override { fs::current_path(savedCwd); }

    // Shows `dir` in the file list with the named entries selected.
    void showAndSelect(const std::string& dir, const std::vector<std::string>& names) {
        form.FileListBox1.setDirectory(dir);
        for (int i = 0; i < form.FileListBox1.count(); ++i)
            for (const auto& n : names)
                if (form.FileListBox1.entry(i) == n) form.FileListBox1.setSelected(i, true);
        ASSERT_EQ(form.FileListBox1.selectedCount(), int(names.size()));
        listChanges = 0;
    }

    void choose(const std::string& typed) {
        platform.typedNames.push_back(typed);
        form.SetOutputDirectory1.click();
    }

    fs::path savedCwd;
    MainForm form;
    PickerPlatform platform;
    int listChanges = 0;
};

// ---------------------------------------------------------------- Set Output Directory

TEST_F(FileCommands, PickerCreatesTwoLevelsAndTheNextUseWritesThere) {
    TempDir list;
    form.FileListBox1.setDirectory(list.path());
    std::vector<std::string> statusTexts;
    form.Panel1.written.connect([&] { statusTexts.push_back(form.Panel1.text()); });
    const std::string target = list.path() + "/new/deeper";

    platform.buttonAnswers = {Button::Yes};
    choose(target);

    ASSERT_EQ(platform.pickerRequests.size(), 1u);
    EXPECT_EQ(platform.pickerRequests[0], list.path());  // starts at the list's directory
    EXPECT_EQ(fs::current_path().string(), list.path());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(platform.messages[0].text, kCreateDirectoryQuestion);
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_TRUE(form.OutputDirectoryChosen);
    EXPECT_EQ(form.OutputDirectory, target);
    EXPECT_EQ(statusTexts, (std::vector<std::string>{kPickerHintText, "Output Directory = '" + target + "'"}));

    // The next writer of output files lands in the new directory, even after
    // the list moved elsewhere; the next picker starts at the choice.
    form.FileListBox1.setDirectory("/");
    EXPECT_EQ(outputFilePath(form, "1page.bmp"), target + "/1page.bmp");
    form.SetOutputDirectory1.click();  // Cancel
    EXPECT_EQ(platform.pickerRequests.back(), target);
}

TEST_F(FileCommands, DecliningCreationKeepsThePickerOpen) {
    TempDir list;
    form.FileListBox1.setDirectory(list.path());
    platform.typedNames = {list.path() + "/nope", list.path()};
    platform.buttonAnswers = {Button::No};
    form.SetOutputDirectory1.click();
    EXPECT_FALSE(fs::exists(list.path() + "/nope"));
    EXPECT_TRUE(form.OutputDirectoryChosen);
    EXPECT_EQ(form.OutputDirectory, list.path());
    EXPECT_EQ(platform.pickerRequests.size(), 1u);
}

TEST_F(FileCommands, CancelAfterAChoiceRevertsToTheListDirectoryAndMoveRefuses) {
    TempDir list, out;
    writeFile(list.path() + "/a.bmp", "A");
    showAndSelect(list.path(), {"a.bmp"});
    choose(out.path());
    ASSERT_TRUE(form.OutputDirectoryChosen);

    form.SetOutputDirectory1.click();  // nothing typed: Cancel
    EXPECT_EQ(platform.pickerRequests.back(), out.path());  // started at the previous choice
    EXPECT_FALSE(form.OutputDirectoryChosen);
    EXPECT_EQ(form.Panel1.text(), kNoOutputDirectoryText);

    form.Moveselectedfiles.click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].kind, MessageKind::Notice);
    EXPECT_EQ(platform.messages[0].caption, "Quillet");
    EXPECT_EQ(platform.messages[0].text, kSameDirectoryText);
    EXPECT_TRUE(fs::exists(list.path() + "/a.bmp"));
    EXPECT_EQ(namesIn(out.path()), std::vector<std::string>{});
    EXPECT_EQ(listChanges, 0);  // the refusal does not re-read the list
    EXPECT_EQ(form.OutputDirectory, list.path());
}

TEST_F(FileCommands, ChosenDirectoryIsHeldWithoutTrailingSeparatorButTheRootKeepsIt) {
    TempDir list, out;
    form.FileListBox1.setDirectory(list.path());
    struct Case {
        std::string returned;
        std::string held;
        std::string joined;  // joinPath(held, "name.bmp")
    };
    const Case cases[] = {
        {"/", "/", "/name.bmp"},
        {out.path() + "/", out.path(), out.path() + "/name.bmp"},
        {out.path() + "///", out.path(), out.path() + "/name.bmp"},
        {out.path(), out.path(), out.path() + "/name.bmp"},
    };
    for (const Case& c : cases) {
        // The fake answers with the picker's box text as it is.
        FakePlatform plain;
        plain.pickerAnswers = {{DirectoryPickerResult::Outcome::Ok, c.returned}};
        setOutputDirectory(form, plain);
        EXPECT_TRUE(form.OutputDirectoryChosen);
        EXPECT_EQ(form.OutputDirectory, c.held) << c.returned;
        EXPECT_EQ(form.Panel1.text(), "Output Directory = '" + c.held + "'");
        EXPECT_EQ(outputFilePath(form, "name.bmp"), c.joined);
    }
}

TEST_F(FileCommands, ListAtTheRootStartsThePickerAtTheRoot) {
    form.FileListBox1.setDirectory("/");
    form.SetOutputDirectory1.click();
    ASSERT_EQ(platform.pickerRequests.size(), 1u);
    EXPECT_EQ(platform.pickerRequests[0], "/");
    EXPECT_EQ(fs::current_path().string(), "/");
}

TEST_F(FileCommands, PickerFailureWarnsAndRevertsToTheListDirectory) {
    TempDir list, out;
    form.FileListBox1.setDirectory(list.path());
    choose(out.path());
    ASSERT_TRUE(form.OutputDirectoryChosen);

    writeFile(list.path() + "/file", "x");
    platform.buttonAnswers = {Button::Yes};
    choose(list.path() + "/file/sub");  // cannot be created below a file
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].kind, MessageKind::Warning);
    EXPECT_EQ(platform.messages[1].caption, "Warning");
    EXPECT_EQ(platform.messages[1].text, kPickerFailureText);
    EXPECT_EQ(platform.messages[1].buttons, std::vector<Button>{Button::Ok});
    EXPECT_FALSE(form.OutputDirectoryChosen);
    EXPECT_EQ(form.Panel1.text(), kNoOutputDirectoryText);
    EXPECT_EQ(outputFilePath(form, "a.bmp"), list.path() + "/a.bmp");

    // An OK with an empty box is a failure too.
    FakePlatform plain;
    plain.pickerAnswers = {{DirectoryPickerResult::Outcome::Ok, ""}};
    setOutputDirectory(form, plain);
    EXPECT_EQ(plain.messageTexts(), std::vector<std::string>{kPickerFailureText});
    EXPECT_FALSE(form.OutputDirectoryChosen);
}

TEST_F(FileCommands, VanishedChosenDirectoryIsReportedAndNothingChanges) {
    TempDir list;
    form.FileListBox1.setDirectory(list.path());
    const std::string gone = list.path() + "/gone";
    fs::create_directory(gone);
    choose(gone);
    ASSERT_TRUE(form.OutputDirectoryChosen);
    fs::remove(gone);
    const std::size_t requests = platform.pickerRequests.size();

    form.SetOutputDirectory1.click();
    EXPECT_EQ(platform.pickerRequests.size(), requests);  // no picker
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(platform.messages[0].caption, "Quillet");
    EXPECT_NE(platform.messages[0].text.find(gone), std::string::npos);
    EXPECT_EQ(platform.messages[0].text.back(), '.');
    EXPECT_TRUE(form.OutputDirectoryChosen);
    EXPECT_EQ(form.OutputDirectory, gone);
    EXPECT_EQ(form.Panel1.text(), kPickerHintText);
}

// ---------------------------------------------------------------- Delete

TEST_F(FileCommands, DeleteWalksTheSelectionWithYesNoCancelAll) {
    struct Case {
        const char* title;
        std::vector<Button> answers;
        std::vector<std::string> asked;      // entries asked about, in order
        std::vector<std::string> remaining;  // files left in the directory
    };
    const std::vector<Case> cases = {
        {"All at the first question", {Button::All}, {"a.bmp"}, {"d.bmp"}},
        {"No then Cancel", {Button::No, Button::Cancel}, {"a.bmp", "b.bmp"}, {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}},
        {"Yes, No, Yes", {Button::Yes, Button::No, Button::Yes}, {"a.bmp", "b.bmp", "c.bmp"}, {"b.bmp", "d.bmp"}},
        {"No, All", {Button::No, Button::All}, {"a.bmp", "b.bmp"}, {"a.bmp", "d.bmp"}},
        {"Cancel at once", {Button::Cancel}, {"a.bmp"}, {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        TempDir dir;
        for (const char* n : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}) writeFile(dir.path() + "/" + n, n);
        showAndSelect(dir.path(), {"a.bmp", "b.bmp", "c.bmp"});  // d.bmp is not selected
        platform.messages.clear();
        platform.buttonAnswers.assign(c.answers.begin(), c.answers.end());

        form.DeleteSelectedFiles1.click();

        std::vector<std::string> asked;
        for (const auto& m : platform.messages) {
            EXPECT_EQ(m.kind, MessageKind::Confirmation);
            EXPECT_EQ(m.caption, "Confirm");
            EXPECT_EQ(m.buttons, (std::vector<Button>{Button::Yes, Button::No, Button::Cancel, Button::All}));
            asked.push_back(m.text);
        }
        std::vector<std::string> expectedAsked;
        for (const auto& n : c.asked) expectedAsked.push_back("Are you sure you want to delete " + n + "?");
        EXPECT_EQ(asked, expectedAsked);
        EXPECT_EQ(namesIn(dir.path()), c.remaining);
        // The list is re-read from disk.
        EXPECT_EQ(listChanges, 1);
        EXPECT_EQ(form.FileListBox1.entries(), c.remaining);
    }
}

TEST_F(FileCommands, DeleteWithNothingSelectedTouchesNothingButReReadsTheList) {
    TempDir dir;
    writeFile(dir.path() + "/a.bmp", "A");
    showAndSelect(dir.path(), {});
    form.DeleteSelectedFiles1.click();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.bmp"});
    EXPECT_EQ(listChanges, 1);
}

TEST_F(FileCommands, DeleteOfAPathLongerThan255CharactersRemovesExactlyThatFile) {
    TempDir root;
    const std::string dir = root.path() + "/" + std::string(100, 'd') + "/" + std::string(100, 'e');
    fs::create_directories(dir);
    const std::string name = std::string(120, 'n') + ".bmp";
    const std::string full = dir + "/" + name;
    ASSERT_GT(full.size(), 255u);
    // A neighbour whose full path is the long path cut to 255 characters.
    const std::string cut = full.substr(0, 255);
    ASSERT_EQ(fs::path(cut).parent_path().string(), dir);
    writeFile(cut, "neighbour");
    writeFile(full, "target");
    writeFile(dir + "/other.bmp", "other");
    showAndSelect(dir, {name});

    platform.buttonAnswers = {Button::Yes};
    form.DeleteSelectedFiles1.click();

    EXPECT_FALSE(fs::exists(full));
    EXPECT_EQ(fileBytes(cut), "neighbour");
    EXPECT_EQ(fileBytes(dir + "/other.bmp"), "other");
    EXPECT_EQ(namesIn(dir).size(), 2u);
}

// A directory below `base` whose full path is longer than the system accepts
// in one call (PATH_MAX), built one level at a time.
std::string makeVeryDeepDirectory(const std::string& base) {
    std::string path = base;
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    const std::string level(200, 'L');
    while (fd >= 0 && path.size() <= 4200) {
        if (::mkdirat(fd, level.c_str(), 0700) != 0) break;
        int next = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        path += "/" + level;
    }
    if (fd >= 0) {
        int f = ::openat(fd, "deep.bmp", O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (f >= 0) ::close(f);
        f = ::openat(fd, "keep.bmp", O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (f >= 0) ::close(f);
        ::close(fd);
    }
    return path;
}

TEST(FileOperations, DeleteReachesFilesBeyondTheSystemPathLimit) {
    TempDir root;
    const std::string dir = makeVeryDeepDirectory(root.path());
    ASSERT_GT(dir.size(), 4096u);
    // The plain path is too long for the system.
    ASSERT_NE(::access((dir + "/deep.bmp").c_str(), F_OK), 0);
    EXPECT_EQ(errno, ENAMETOOLONG);

    std::string error;
    EXPECT_TRUE(deleteFileIn(dir, "deep.bmp", &error)) << error;
    EXPECT_FALSE(deleteFileIn(dir, "deep.bmp"));  // gone now
    // The neighbour stays: only the named file went.
    EXPECT_FALSE(deleteFileIn(dir, "missing.bmp"));
    EXPECT_TRUE(deleteFileIn(dir, "keep.bmp"));
}

TEST(FileOperations, DeleteRefusesDirectoriesAndNamesWithSeparators) {
    TempDir root;
    fs::create_directory(root.path() + "/sub.bmp");
    writeFile(root.path() + "/sub.bmp/x", "x");
    writeFile(root.path() + "/a.bmp", "a");
    EXPECT_FALSE(deleteFileIn(root.path(), "sub.bmp"));
    EXPECT_FALSE(deleteFileIn(root.path(), "sub.bmp/x"));
    EXPECT_FALSE(deleteFileIn(root.path(), ".."));
    EXPECT_FALSE(deleteFileIn(root.path(), ""));
    EXPECT_TRUE(fs::exists(root.path() + "/sub.bmp/x"));
    EXPECT_TRUE(fs::exists(root.path() + "/a.bmp"));
}

// ---------------------------------------------------------------- Move

TEST_F(FileCommands, MoveNeverReplacesAndReportsEachFailure) {
    TempDir src, dst;
    for (const char* n : {"a.bmp", "b.bmp", "c.bmp"}) writeFile(src.path() + "/" + n, std::string("new ") + n);
    writeFile(dst.path() + "/b.bmp", "old b");
    showAndSelect(src.path(), {"a.bmp", "b.bmp", "c.bmp"});
    choose(dst.path());
    platform.messages.clear();
    listChanges = 0;

    platform.buttonAnswers = {Button::All};
    form.Moveselectedfiles.click();

    const auto texts = platform.messageTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Are you sure you want to move a.bmp to " + dst.path() + " ?");
    EXPECT_EQ(texts[1], "Error. Move to " + dst.path() + "/b.bmp unsuccessful.");
    EXPECT_EQ(platform.messages[1].kind, MessageKind::Notice);
    EXPECT_EQ(fileBytes(dst.path() + "/b.bmp"), "old b");
    EXPECT_EQ(fileBytes(dst.path() + "/a.bmp"), "new a.bmp");
    EXPECT_EQ(fileBytes(dst.path() + "/c.bmp"), "new c.bmp");
    EXPECT_EQ(namesIn(src.path()), std::vector<std::string>{"b.bmp"});
    EXPECT_EQ(fileBytes(src.path() + "/b.bmp"), "new b.bmp");
    EXPECT_EQ(listChanges, 1);
    EXPECT_EQ(form.FileListBox1.entries(), std::vector<std::string>{"b.bmp"});
}

TEST_F(FileCommands, MoveWalksTheSelectionLikeDelete) {
    TempDir src, dst;
    for (const char* n : {"a.bmp", "b.bmp", "c.bmp"}) writeFile(src.path() + "/" + n, n);
    showAndSelect(src.path(), {"a.bmp", "b.bmp", "c.bmp"});
    choose(dst.path());
    platform.messages.clear();

    platform.buttonAnswers = {Button::No, Button::Yes, Button::Cancel};
    form.Moveselectedfiles.click();
    EXPECT_EQ(platform.messageTexts().size(), 3u);
    EXPECT_EQ(namesIn(src.path()), (std::vector<std::string>{"a.bmp", "c.bmp"}));
    EXPECT_EQ(namesIn(dst.path()), std::vector<std::string>{"b.bmp"});
}

TEST_F(FileCommands, MoveRefusesWhenNoDirectoryWasChosen) {
    TempDir src;
    writeFile(src.path() + "/a.bmp", "A");
    showAndSelect(src.path(), {"a.bmp"});
    form.Moveselectedfiles.click();
    EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kSameDirectoryText});
    EXPECT_TRUE(fs::exists(src.path() + "/a.bmp"));
    EXPECT_EQ(listChanges, 0);

    // The same directory chosen explicitly is refused too.
    choose(src.path() + "/");
    platform.messages.clear();
    form.Moveselectedfiles.click();
    EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kSameDirectoryText});
}

// A writable tmpfs at /dev/shm gives a second file system next to /tmp.
std::string otherFileSystemDirectory(std::string* why) {
    struct statfs a {}, b {};
    if (::statfs("/dev/shm", &a) != 0 || ::access("/dev/shm", W_OK) != 0) {
        *why = "/dev/shm is not available or not writable";
        return {};
    }
    if (::statfs(fs::temp_directory_path().c_str(), &b) != 0) {
        *why = "the temporary directory cannot be examined";
        return {};
    }
    struct stat sa {}, sb {};
    ::stat("/dev/shm", &sa);
    ::stat(fs::temp_directory_path().c_str(), &sb);
    if (sa.st_dev == sb.st_dev) {
        *why = "/dev/shm is on the same file system as the temporary directory";
        return {};
    }
    return "/dev/shm";
}

TEST_F(FileCommands, MoveAcrossFileSystemsCopiesWithoutReplacing) {
    std::string why;
    const std::string other = otherFileSystemDirectory(&why);
    if (other.empty()) GTEST_SKIP() << why;
    TempDir src;
    TempDir dst = TempDir::inside(other);
    ASSERT_FALSE(dst.path().empty());
    const std::string big(3 << 20, 'q');  // more than one copy buffer
    writeFile(src.path() + "/a.bmp", big);
    ::chmod((src.path() + "/a.bmp").c_str(), 0640);
    writeFile(src.path() + "/b.bmp", "new b");
    writeFile(dst.path() + "/b.bmp", "old b");
    showAndSelect(src.path(), {"a.bmp", "b.bmp"});
    choose(dst.path());
    platform.messages.clear();

    platform.buttonAnswers = {Button::All};
    form.Moveselectedfiles.click();

    EXPECT_EQ(platform.messageTexts().back(), "Error. Move to " + dst.path() + "/b.bmp unsuccessful.");
    EXPECT_EQ(fileBytes(dst.path() + "/a.bmp"), big);
    EXPECT_EQ(fs::status(dst.path() + "/a.bmp").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(fileBytes(dst.path() + "/b.bmp"), "old b");
    // No temporary file is left behind, and b stays at its source.
    EXPECT_EQ(namesIn(dst.path()), (std::vector<std::string>{"a.bmp", "b.bmp"}));
    EXPECT_EQ(namesIn(src.path()), std::vector<std::string>{"b.bmp"});
}

// Runs as an unprivileged user while it lives when the tests run as root
// (root ignores directory modes); does nothing otherwise.
class UnprivilegedScope {
public:
    UnprivilegedScope() {
        if (::geteuid() == 0) switched_ = ::seteuid(65534) == 0;
        ok_ = ::geteuid() != 0;
    }
    ~UnprivilegedScope() {
        if (switched_ && ::seteuid(0) != 0) std::abort();
    }
    bool ok() const { return ok_; }

private:
    bool switched_ = false;
    bool ok_ = false;
};

TEST(FileOperations, CrossFileSystemMoveFailureLeavesTheSourceAndNoTrace) {
    std::string why;
    const std::string other = otherFileSystemDirectory(&why);
    if (other.empty()) GTEST_SKIP() << why;
    TempDir src;
    TempDir dst = TempDir::inside(other);
    writeFile(src.path() + "/a.bmp", "A");
    // The copy can be made, but the source directory refuses the removal:
    // the copy must be taken back.
    ::chmod((src.path() + "/a.bmp").c_str(), 0644);
    ::chmod(src.path().c_str(), 0555);
    ::chmod(dst.path().c_str(), 0777);
    std::string error;
    bool moved = true;
    {
        UnprivilegedScope user;
        if (!user.ok()) {
            ::chmod(src.path().c_str(), 0700);
            GTEST_SKIP() << "cannot run without privileges";
        }
        moved = moveFileNoReplace(src.path(), dst.path(), "a.bmp", &error);
    }
    ::chmod(src.path().c_str(), 0700);
    EXPECT_FALSE(moved);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fileBytes(src.path() + "/a.bmp"), "A");
    EXPECT_EQ(namesIn(dst.path()), std::vector<std::string>{});
}

// ---------------------------------------------------------------- in the running program

TEST(FileCommandsInProgram, MenuItemsRunTheCommands) {
    const fs::path cwd = fs::current_path();
    TempDir start, out;
    for (const char* n : {"a.bmp", "b.bmp", "c.bmp"}) writeFile(start.path() + "/" + n, n);
    FakePlatform platform;
    platform.tempDir = out.path();
    {
        Program program(platform, start.path(), "");
        MainForm& form = program.form;
        ASSERT_EQ(form.FileListBox1.selectedCount(), 3);  // start-up selects all

        platform.pickerAnswers = {{DirectoryPickerResult::Outcome::Ok, out.path()}};
        form.SetOutputDirectory1.click();
        EXPECT_EQ(form.Panel1.text(), "Output Directory = '" + out.path() + "'");

        form.FileListBox1.setSelected(2, false);
        platform.buttonAnswers = {Button::All};
        form.Moveselectedfiles.click();
        EXPECT_EQ(namesIn(out.path()), (std::vector<std::string>{"a.bmp", "b.bmp"}));
        EXPECT_EQ(form.FileListBox1.entries(), std::vector<std::string>{"c.bmp"});

        form.FileListBox1.setSelected(0, true);
        platform.buttonAnswers = {Button::Yes};
        form.DeleteSelectedFiles1.click();
        EXPECT_EQ(namesIn(start.path()), std::vector<std::string>{});
        EXPECT_EQ(platform.messageTexts().back(), "Are you sure you want to delete c.bmp?");
    }
    fs::current_path(cwd);
}

}  // namespace
