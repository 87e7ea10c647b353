// Archives meet Info-ZIP's zip and unzip: what the engine writes unzip
// accepts, and what zip writes the engine extracts as unzip does; and
// quillet-batch's archive commands end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "archive_rig.h"
#include "imaging/bmp_file.h"
#include "imaging/sample_page.h"

namespace quillet::archive::test {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// Every file below `root` by its relative path, with its content.
std::map<std::string, std::string> tree(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        files[fs::relative(e.path(), root).string()] = e.is_regular_file() ? fileBytes(e.path()) : "<dir>";
    return files;
}

struct InteropTest : ::testing::Test, EngineRig {
    TempDir dir{"quillet-interop"};
    fs::path cwd = fs::current_path();
    void SetUp() override {
        if (shell("command -v zip && command -v unzip").empty()) GTEST_SKIP() << "Info-ZIP zip/unzip not installed";
    }
    ~InteropTest() override { fs::current_path(cwd); }
    void writePages(const std::string& folder, int n) {
        dir.makeDir(folder);
        for (int i = 1; i <= n; ++i) {
            imaging::SamplePageOptions o;
            o.dpi = 75;
            o.seed = std::uint64_t(i);
            imaging::saveBmp(imaging::makeSamplePage(o), dir.file(folder + "/page" + std::to_string(i) + ".bmp"));
        }
    }
};

TEST_F(InteropTest, WhatAddWritesUnzipTestsListsAndGivesBackByteForByte) {
    writePages("src", 3);
    engine.setZipFileName(dir.file("page.zip"));
    for (int i = 1; i <= 3; ++i) {
        engine.FSpecArgs = {dir.file("src/page" + std::to_string(i) + ".bmp")};
        engine.Add();
    }
    const std::string zip = shellQuote(dir.file("page.zip"));
    int status = -1;
    shell("unzip -tq " + zip, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(shell("unzip -Z1 " + zip), "page1.bmp\npage2.bmp\npage3.bmp\n");
    for (int i = 1; i <= 3; ++i) {
        const std::string name = "page" + std::to_string(i) + ".bmp";
        EXPECT_EQ(shell("unzip -p " + zip + " " + name), fileBytes(dir.file("src/" + name))) << name;
    }
    EXPECT_TRUE(events.empty()) << ::testing::PrintToString(events);
}

TEST_F(InteropTest, ArchivesOfZipExtractAsUnzipExtractsThem) {
    writePages("src", 2);
    dir.makeDir("src/sub/deeper");
    dir.writeText("src/sub/deeper/notes.txt", std::string(4000, 'n'));
    dir.writeText("src/sub/scan.png", "png bytes");
    struct Case { const char* what; const char* zipArgs; };
    for (const Case& c : {Case{"zip -9", "-9 -j"}, Case{"zip -0", "-0 -j"}, Case{"zip -r", "-r"}}) {
        const std::string archive = dir.file("z.zip");
        fs::remove(archive);
        const std::string what = std::string(c.zipArgs) == "-r" ? "." : "page1.bmp page2.bmp sub/scan.png";
        int status = -1;
        shell("cd " + shellQuote(dir.file("src")) + " && zip -q " + c.zipArgs + " " + shellQuote(archive) + " " + what, &status);
        ASSERT_EQ(status, 0) << c.what;
        TempDir ours{"quillet-ours"}, theirs{"quillet-theirs"};
        shell("unzip -q " + shellQuote(archive) + " -d " + shellQuote(theirs.path()), &status);
        ASSERT_EQ(status, 0) << c.what;
        engine.setZipFileName(archive);
        engine.ExtrBaseDir = ours.path();
        engine.Extract();
        EXPECT_EQ(tree(ours.path()), tree(theirs.path())) << c.what;
        EXPECT_EQ(engine.ErrorCount(), 0) << c.what << ::testing::PrintToString(events);
    }
}

TEST_F(InteropTest, ArchivesUnzipReadsWithAWarningListAndExtractAsUnzipDoes) {
    writePages("src", 2);
    int status = -1;
    shell("cd " + shellQuote(dir.file("src")) + " && zip -q -9 -j ../z.zip page1.bmp page2.bmp", &status);
    ASSERT_EQ(status, 0);
    const std::string plain = fileBytes(dir.file("z.zip"));
    struct Case { const char* what; std::string bytes; std::size_t files; };
    const Case cases[] = {
        {"data in front", std::string(1000, 'S') + plain, 2},
        {"two entries of one name", [&] { std::string b = plain; replaceAll(b, "page2.bmp", "page1.bmp"); return b; }(), 1},
    };
    for (const Case& c : cases) {
        const std::string archive = dir.file("odd.zip");
        writeFile(archive, c.bytes);
        TempDir ours{"quillet-ours"}, theirs{"quillet-theirs"};
        shell("unzip -qq -n " + shellQuote(archive) + " -d " + shellQuote(theirs.path()) + " 2>/dev/null");
        engine.setZipFileName(archive);
        std::string listed;
        for (const ZipEntry& e : engine.ZipContents()) listed += e.name + "\n";
        EXPECT_EQ(listed, shell("unzip -Z1 " + shellQuote(archive) + " 2>/dev/null")) << c.what;
        engine.ExtrBaseDir = ours.path();
        engine.Extract();
        EXPECT_EQ(tree(ours.path()), tree(theirs.path())) << c.what;
        EXPECT_EQ(tree(ours.path()).size(), c.files) << c.what;
        fs::current_path(cwd);
    }
}

TEST_F(InteropTest, TwoBatchAddsIntoOneArchiveAtOnceKeepEveryPage) {
    const std::string batch = testing::batchPath();
    if (!fs::exists(batch)) GTEST_SKIP() << "quillet-batch not built";
    for (const std::string side : {"a", "b"}) {
        dir.makeDir(side);
        for (int i = 1; i <= 20; ++i)
            imaging::saveBmp(imaging::Bitmap(2000, 16), dir.file(side + "/" + side + std::to_string(i) + ".bmp"));
    }
    auto add = [&](const std::string& side) {
        return shellQuote(batch) + " --zip-add -C " + shellQuote(dir.file(side)) + " -o " + shellQuote(dir.path()) +
               " >/dev/null 2>&1";
    };
    const std::string both = shell("(" + add("a") + "; echo a $?) & (" + add("b") + "; echo b $?) & wait");
    EXPECT_NE(both.find("a 0"), std::string::npos) << both;
    EXPECT_NE(both.find("b 0"), std::string::npos) << both;
    const std::string listed = shell("unzip -Z1 " + shellQuote(dir.file("page.zip")));
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 40) << listed;
}

TEST_F(InteropTest, BatchAddsListsAndExtracts) {
    const std::string batch = testing::batchPath();
    if (!fs::exists(batch)) GTEST_SKIP() << "quillet-batch not built";
    writePages("src", 2);
    dir.makeDir("out");
    int status = -1;
    const std::string added = shell(shellQuote(batch) + " --zip-add -C " + shellQuote(dir.file("src")) +
                                    " --name book -o " + shellQuote(dir.path()) + " 2>&1", &status);
    EXPECT_EQ(status, 0) << added;
    EXPECT_NE(added.find("Confirm: Are you sure you want to add page1.bmp to the book.zip file?"), std::string::npos);
    EXPECT_EQ(added.find("page2.bmp to the"), std::string::npos) << "asked twice: " << added;
    EXPECT_EQ(shell(shellQuote(batch) + " --zip-list " + shellQuote(dir.file("book.zip")), &status),
              "page1.bmp\npage2.bmp\n2\n");
    EXPECT_EQ(status, 0);
    // Into a folder that is not there yet: made, as import makes its own.
    const std::string made = dir.file("out/new/pages");
    const std::string extracted =
        shell(shellQuote(batch) + " --zip-extract " + shellQuote(dir.file("book.zip")) + " -o " + shellQuote(made), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(extracted, "Extracted 2 files to " + made + "\n");
    EXPECT_EQ(tree(made), tree(dir.file("src")));

    // Adding into a folder that is not there: one message, nothing made.
    const std::string missing = shell(shellQuote(batch) + " --zip-add -C " + shellQuote(dir.file("src")) + " -o " +
                                          shellQuote(dir.file("none")) + " 2>&1",
                                      &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), '\n'), 1) << missing;
    EXPECT_NE(missing.find("there is no such folder"), std::string::npos) << missing;
    EXPECT_FALSE(dir.exists("none"));

    dir.writeText("bad.zip");
    const std::string err = shell(shellQuote(batch) + " --zip-extract " + shellQuote(dir.file("bad.zip")) + " 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("Quillet: Error while reading the End Of Central Directory"), std::string::npos) << err;
    EXPECT_NE(err.find("Quillet: No files in archive!"), std::string::npos) << err;
}

}  // namespace
}  // namespace quillet::archive::test
