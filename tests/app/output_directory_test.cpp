// The output directory rule, path joining and the picker's OK decision
// (existing, missing, uncreatable directories).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/directory_creation.h"
#include "app/main_form.h"
#include "app/output_directory.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace quillet::app;

namespace {

using quillet::testing::TempDir;

TEST(JoinPath, NeverDoublesOrDropsTheSeparator) {
    struct Case {
        const char* dir;
        const char* name;
        const char* joined;
    };
    const Case cases[] = {
        {"/", "a.bmp", "/a.bmp"},            // the root
        {"", "a.bmp", "/a.bmp"},             // the root's cut form
        {"/x", "a.bmp", "/x/a.bmp"},         // one level
        {"/x/y/z", "a.bmp", "/x/y/z/a.bmp"}, // nested
        {"/x/", "a.bmp", "/x/a.bmp"},        // trailing separator
        {"/x//", "a.bmp", "/x/a.bmp"},       // several trailing separators
        {"//", "a.bmp", "/a.bmp"},
        {"/x y", "1page.bmp", "/x y/1page.bmp"},
    };
    for (const Case& c : cases) EXPECT_EQ(joinPath(c.dir, c.name), c.joined) << "dir '" << c.dir << "'";
}

TEST(JoinPath, CutRootAndItsInverse) {
    struct Case {
        const char* dir;
        const char* cut;
        const char* restored;  // restoreRoot(cut)
    };
    const Case cases[] = {
        {"/", "", "/"},
        {"", "", "/"},
        {"/scans", "/scans", "/scans"},
        {"/scans/", "/scans", "/scans"},
        {"/a/b//", "/a/b", "/a/b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cutRoot(c.dir), c.cut) << "dir '" << c.dir << "'";
        EXPECT_EQ(restoreRoot(cutRoot(c.dir)), c.restored) << "dir '" << c.dir << "'";
    }
}

TEST(OutputDirectoryRule, FollowsTheListUntilADirectoryIsChosen) {
    TempDir a, b;
    MainForm form;
    form.FileListBox1.setDirectory(a.path());
    EXPECT_EQ(outputFilePath(form, "1page.bmp"), a.path() + "/1page.bmp");

    // Every reader applies the rule afresh: nothing is cached.
    form.FileListBox1.setDirectory(b.path());
    applyOutputDirectoryRule(form);
    EXPECT_EQ(form.OutputDirectory, b.path());

    form.OutputDirectory = a.path();
    form.OutputDirectoryChosen = true;
    form.FileListBox1.setDirectory("/");
    EXPECT_EQ(outputFilePath(form, "x.bmp"), a.path() + "/x.bmp");

    form.OutputDirectoryChosen = false;
    EXPECT_EQ(outputFilePath(form, "x.bmp"), "/x.bmp");
}

TEST(PickerPath, ResolvesAgainstTheShownFolder) {
    struct Case {
        const char* text;
        const char* base;
        const char* resolved;
    };
    const Case cases[] = {
        {"", "/tmp", ""},
        {"/", "/tmp", "/"},
        {"/a/b/", "/tmp", "/a/b"},
        {"sub/deeper", "/tmp", "/tmp/sub/deeper"},
        {"../x", "/tmp/y", "/tmp/x"},
        {"/a/./b/../c", "/", "/a/c"},
        {"new", "/", "/new"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolvePickerPath(c.text, c.base), c.resolved) << "text '" << c.text << "'";
}

TEST(PickerOk, CreatesTwoMissingLevelsAfterConfirmation) {
    TempDir t;
    const std::string target = t.path() + "/first/second";
    int asked = 0;
    PickerOkDecision d = decidePickerOk(target, "/", [&] { ++asked; return true; });
    EXPECT_EQ(d.step, PickerOkDecision::Step::Accept);
    EXPECT_EQ(d.directory, target);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(fs::is_directory(t.path() + "/first"));
    EXPECT_TRUE(fs::is_directory(target));

    // Now it exists: accepted without a question.
    d = decidePickerOk(target + "/", "/", [&] { ++asked; return true; });
    EXPECT_EQ(d.step, PickerOkDecision::Step::Accept);
    EXPECT_EQ(d.directory, target);
    EXPECT_EQ(asked, 1);
}

TEST(PickerOk, RelativeNameIsCreatedUnderTheShownFolder) {
    TempDir t;
    PickerOkDecision d = decidePickerOk("out", t.path(), [] { return true; });
    ASSERT_EQ(d.step, PickerOkDecision::Step::Accept);
    EXPECT_EQ(d.directory, t.path() + "/out");
    EXPECT_TRUE(fs::is_directory(t.path() + "/out"));
}

TEST(PickerOk, DecliningTheCreationReturnsToThePickerAndCreatesNothing) {
    TempDir t;
    const std::string target = t.path() + "/a/b";
    PickerOkDecision d = decidePickerOk(target, "/", [] { return false; });
    EXPECT_EQ(d.step, PickerOkDecision::Step::ReturnToPicker);
    EXPECT_FALSE(fs::exists(t.path() + "/a"));
}

TEST(PickerOk, FailsForEmptyBoxFilesAndUncreatablePaths) {
    TempDir t;
    const std::string file = t.path() + "/plain.bmp";
    std::ofstream(file) << "x";

    int asked = 0;
    auto yes = [&] { ++asked; return true; };
    EXPECT_EQ(decidePickerOk("", t.path(), yes).step, PickerOkDecision::Step::Fail);
    EXPECT_EQ(asked, 0);
    // An existing file is not a directory: refused without a question.
    EXPECT_EQ(decidePickerOk(file, "/", yes).step, PickerOkDecision::Step::Fail);
    EXPECT_EQ(asked, 0);
    // Below a file nothing can be created.
    PickerOkDecision d = decidePickerOk(file + "/sub/deeper", "/", yes);
    EXPECT_EQ(d.step, PickerOkDecision::Step::Fail);
    EXPECT_FALSE(d.reason.empty());
    EXPECT_TRUE(fs::is_regular_file(file));
}

}  // namespace
