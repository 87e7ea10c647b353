// Archives meet Info-ZIP's zip and unzip: what the engine writes unzip
// accepts, and what zip writes the engine extracts as unzip does; and
// quillet-batch's archive commands end to end.
#include <gtest/gtest.h>

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
        files[fs::relative(e.path(), root).string()] = e.is_regular_file() ? readFile(e.path()) : "<dir>";
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
    const std::string zip = quoted(dir.file("page.zip"));
    int status = -1;
    shell("unzip -tq " + zip, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(shell("unzip -Z1 " + zip), "page1.bmp\npage2.bmp\npage3.bmp\n");
    for (int i = 1; i <= 3; ++i) {
        const std::string name = "page" + std::to_string(i) + ".bmp";
        EXPECT_EQ(shell("unzip -p " + zip + " " + name), readFile(dir.file("src/" + name))) << name;
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
        shell("cd " + quoted(dir.file("src")) + " && zip -q " + c.zipArgs + " " + quoted(archive) + " " + what, &status);
        ASSERT_EQ(status, 0) << c.what;
        TempDir ours{"quillet-ours"}, theirs{"quillet-theirs"};
        shell("unzip -q " + quoted(archive) + " -d " + quoted(theirs.path()), &status);
        ASSERT_EQ(status, 0) << c.what;
        engine.setZipFileName(archive);
        engine.ExtrBaseDir = ours.path();
        engine.Extract();
        EXPECT_EQ(tree(ours.path()), tree(theirs.path())) << c.what;
        EXPECT_EQ(engine.ErrorCount(), 0) << c.what << ::testing::PrintToString(events);
    }
}

TEST_F(InteropTest, BatchAddsListsAndExtracts) {
    const std::string batch = std::string(QUILLET_BUILD_DIR) + "/tools/quillet-batch";
    if (!fs::exists(batch)) GTEST_SKIP() << "quillet-batch not built";
    writePages("src", 2);
    dir.makeDir("out");
    int status = -1;
    const std::string added = shell(quoted(batch) + " --zip-add -C " + quoted(dir.file("src")) +
                                    " --name book -o " + quoted(dir.path()) + " 2>&1", &status);
    EXPECT_EQ(status, 0) << added;
    EXPECT_NE(added.find("Confirm: Are you sure you want to add page1.bmp to the book.zip file?"), std::string::npos);
    EXPECT_EQ(added.find("page2.bmp to the"), std::string::npos) << "asked twice: " << added;
    EXPECT_EQ(shell(quoted(batch) + " --zip-list " + quoted(dir.file("book.zip")), &status),
              "page1.bmp\npage2.bmp\n2\n");
    EXPECT_EQ(status, 0);
    shell(quoted(batch) + " --zip-extract " + quoted(dir.file("book.zip")) + " -o " + quoted(dir.file("out")), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(tree(dir.file("out")), tree(dir.file("src")));

    dir.writeText("bad.zip");
    const std::string err = shell(quoted(batch) + " --zip-extract " + quoted(dir.file("bad.zip")) + " 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("Quillet: Error while reading the End Of Central Directory"), std::string::npos) << err;
    EXPECT_NE(err.find("Quillet: No files in archive!"), std::string::npos) << err;
}

}  // namespace
}  // namespace quillet::archive::test
