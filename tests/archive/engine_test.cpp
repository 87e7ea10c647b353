// The zip engine on hand-made and damaged archives: the listing's messages,
// the run-time libraries' messages, the fixed settings, and extraction that
// never writes outside its folder, never overwrites and never leaves a
// truncated file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "archive_rig.h"
#include "support/file_size_limit.h"

namespace quillet::archive::test {
namespace {

namespace fs = std::filesystem;
using testing::FileSizeLimit;
using testing::TempDir;

struct EngineTest : ::testing::Test, EngineRig {
    TempDir dir{"quillet-zip"};
    fs::path cwd = fs::current_path();
    ~EngineTest() override { fs::current_path(cwd); }

    std::string good() {
        const std::string p = dir.file("good.zip");
        writeArchive(p, {{"a.bmp", std::string(5000, 'a')}, {"b.bmp", "bb"}, {"c.bmp", "ccc"}});
        return p;
    }
    std::string patched(const std::string& name, const std::function<void(std::string&)>& patch) {
        std::string bytes = fileBytes(good());
        patch(bytes);
        writeFile(dir.file(name), bytes);
        return dir.file(name);
    }
    int compressionOf(const std::string& archive, const std::string& entry) {
        zip_t* za = zip_open(archive.c_str(), ZIP_RDONLY, nullptr);
        zip_stat_t st;
        const int method = za != nullptr && zip_stat(za, entry.c_str(), 0, &st) == 0 ? st.comp_method : -1;
        if (za != nullptr) zip_discard(za);
        return method;
    }
};

TEST_F(EngineTest, ListingOfGoodDamagedAndForeignFiles) {
    struct Case {
        const char* what;
        std::string path;
        int count;
        std::string message;  // "" for none
        bool pathKept;
    };
    const std::string cd = "PK\x01\x02", eocd = "PK\x05\x06";
    const std::vector<Case> cases{
        {"missing", dir.file("none.zip"), 0, "", true},
        {"good", good(), 3, "", true},
        {"folders not counted", [&] {
             writeArchive(dir.file("dirs.zip"), {{"scans/", ""}, {"scans/a.bmp", "a"}, {"b.bmp", "b"}});
             return dir.file("dirs.zip");
         }(), 2, "", true},
        {"empty archive", [&] {
             writeFile(dir.file("empty.zip"), eocd + std::string(18, '\0'));
             return dir.file("empty.zip");
         }(), 0, "", true},
        {"not a zip", [&] { dir.writeText("text.zip"); return dir.file("text.zip"); }(), 0,
         "Error while reading the End Of Central Directory", false},
        {"truncated", patched("half.zip", [](std::string& b) { b.resize(b.size() / 2); }), 0,
         "Error while reading the End Of Central Directory", false},
        {"local name differs from the directory",
         patched("local.zip", [](std::string& b) { b[b.find("a.bmp")] = 'X'; }), 3,
         "Warning - Error in zip structure!", true},
    };
    for (const Case& c : cases) {
        events.clear();
        fake.messages.clear();
        engine.setZipFileName(c.path);
        EXPECT_EQ(engine.Count(), c.count) << c.what;
        EXPECT_EQ(engine.ZipFileName(), c.pathKept ? c.path : "") << c.what;
        if (c.message.empty()) {
            EXPECT_TRUE(events.empty()) << c.what;
        } else {
            EXPECT_EQ(events, std::vector<std::string>{"0: " + c.message}) << c.what;
            EXPECT_EQ(fake.messageTexts(), std::vector<std::string>{c.message}) << c.what;
        }
    }
    EXPECT_EQ(listErrorMessage(ZIP_ER_MEMORY, "x"), "Requested memory not available");
    EXPECT_EQ(listErrorMessage(ZIP_ER_SEEK, "x"), "Seek error reading Zip archive!");
    EXPECT_EQ(listErrorMessage(ZIP_ER_OPEN, "Can't open file"), "Unknown error in List() function\nCan't open file");
}

TEST_F(EngineTest, ArchivesLibzipRefusesListEveryEntryWithAWarningAndExtract) {
    writeArchive(dir.file("names.zip"), {{"a.bmp", "first"}, {"b.bmp", "second"}, {"c\xc3\xa9.bmp", "third"}});
    const std::string names = fileBytes(dir.file("names.zip"));
    const std::string eocd = "PK\x05\x06";
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> listed;
        std::map<std::string, std::string> extracted;
        std::string skipped;  // an event that reports a skipped entry, or ""
    };
    const std::map<std::string, std::string> goodFiles{
        {"a.bmp", std::string(5000, 'a')}, {"b.bmp", "bb"}, {"c.bmp", "ccc"}};
    const std::vector<Case> cases{
        {"data in front", std::string(333, '#') + fileBytes(good()), {"a.bmp", "b.bmp", "c.bmp"}, goodFiles, ""},
        {"directory offset off", [&] { std::string b = fileBytes(good()); b[b.rfind(eocd) + 16] += 7; return b; }(),
         {"a.bmp", "b.bmp", "c.bmp"}, goodFiles, ""},
        {"two entries of one name", [&] { std::string b = names; replaceAll(b, "b.bmp", "a.bmp"); return b; }(),
         {"a.bmp", "a.bmp", "c\xc3\xa9.bmp"}, {{"a.bmp", "first"}, {"c\xc3\xa9.bmp", "third"}},
         "0: Skipped a.bmp: an earlier entry has the same name"},
        // Read as code page 437, as unflagged names are.
        {"a name flagged UTF-8 that is not", [&] { std::string b = names; replaceAll(b, "\xc3\xa9", "\x82\xff"); return b; }(),
         {"a.bmp", "b.bmp", "c\xc3\xa9\xc2\xa0.bmp"}, {{"a.bmp", "first"}, {"b.bmp", "second"}, {"c\xc3\xa9\xc2\xa0.bmp", "third"}}, ""},
    };
    for (const Case& c : cases) {
        events.clear();
        writeFile(dir.file("odd.zip"), c.bytes);
        engine.setZipFileName(dir.file("odd.zip"));
        std::vector<std::string> listed;
        for (const ZipEntry& e : engine.ZipContents()) listed.push_back(e.name);
        EXPECT_EQ(listed, c.listed) << c.what;
        EXPECT_EQ(events, std::vector<std::string>{std::string("0: ") + kZipStructureWarning}) << c.what;
        TempDir out{"quillet-odd"};
        engine.ExtrBaseDir = out.path();
        engine.Extract();
        std::map<std::string, std::string> extracted;
        for (const std::string& name : out.names()) extracted[name] = fileBytes(out.file(name));
        EXPECT_EQ(extracted, c.extracted) << c.what;
        if (!c.skipped.empty()) {
            EXPECT_NE(std::find(events.begin(), events.end(), c.skipped), events.end()) << c.what;
        }
        fs::current_path(cwd);
    }
}

TEST_F(EngineTest, ExtractionWritesNoMoreThanTheArchiveDeclares) {
    // An entry of 100 KiB that declares 1000 bytes.
    writeArchive(dir.file("bomb.zip"), {{"bomb.bmp", std::string(100 << 10, '\0')}, {"ok.bmp", "ok"}});
    std::string bomb = fileBytes(dir.file("bomb.zip"));
    declareSizes(bomb, 1000, 1);
    writeFile(dir.file("bomb.zip"), bomb);
    // 300 entries that together declare more than a terabyte.
    std::vector<HandEntry> many;
    for (int i = 0; i < 300; ++i) many.push_back({"e" + std::to_string(i) + ".bmp", "x"});
    writeArchive(dir.file("huge.zip"), many);
    std::string huge = fileBytes(dir.file("huge.zip"));
    declareSizes(huge, 0xfffffff0u);
    writeFile(dir.file("huge.zip"), huge);
    struct Case { const char* archive; std::vector<std::string> written; std::string event; };
    for (const Case& c : {Case{"bomb.zip", {"ok.bmp"}, "0: Skipped bomb.bmp: it inflates past its declared size of 1000 bytes"},
                          Case{"huge.zip", {}, " are free"}}) {
        events.clear();
        TempDir out{"quillet-bound"};
        engine.setZipFileName(dir.file(c.archive));
        engine.ExtrBaseDir = out.path();
        engine.Extract();
        EXPECT_EQ(out.names(), c.written) << c.archive;
        ASSERT_FALSE(events.empty()) << c.archive;
        EXPECT_NE(events.back().find(c.event), std::string::npos) << events.back();
        fs::current_path(cwd);
    }
}

TEST_F(EngineTest, MissingLibrariesAndEntryPointsGiveTheirMessages) {
    TempDir noLibrary{"quillet-nolib"};
    TempDir wrongLibrary{"quillet-wronglib"};
    // Each library in place of the other: a library without the entry points.
    fs::copy_file(builtLibraries() + "/" + kUnzDllFile, wrongLibrary.file(kZipDllFile));
    fs::copy_file(builtLibraries() + "/" + kZipDllFile, wrongLibrary.file(kUnzDllFile));
    dir.writeText("a.bmp");
    struct Case { std::string folder; const char* add; const char* extract; };
    for (const Case& c : {Case{noLibrary.path(), kZipDllNotFound, kUnzDllNotFound},
                          Case{wrongLibrary.path(), kZipDllExecMissing, kUnzDllExecMissing}}) {
        events.clear();
        engine.LibraryDirectories = {c.folder};
        engine.setZipFileName(dir.file("page.zip"));
        engine.FSpecArgs = {dir.file("a.bmp")};
        engine.Add();
        EXPECT_TRUE(engine.FSpecArgs.empty());
        engine.setZipFileName(good());
        engine.Extract();
        EXPECT_EQ(events, (std::vector<std::string>{std::string("0: ") + c.add, std::string("0: ") + c.extract}));
        EXPECT_FALSE(dir.exists("page.zip"));
        EXPECT_FALSE(fs::exists(fs::current_path() / "a.bmp"));
    }
    EXPECT_GE(fake.messages.size(), 4u);  // each also shown in a notice box
    EXPECT_GE(engine.ErrorCount(), 4);
}

TEST_F(EngineTest, AddStoresBareNamesDeflatedExceptStoreSuffixesAndKeepsSources) {
    dir.makeDir("src");
    const std::vector<std::string> names{"page1.bmp", "scan.PNG", "old.Zip", "notes.tgz2"};
    for (const std::string& n : names) dir.writeText("src/" + n, std::string(20000, 'x') + n);
    dir.writeText("src/.hidden.bmp");
    engine.setZipFileName(dir.file("page.zip"));
    for (const std::string& n : names) engine.FSpecArgs.push_back(dir.file("src/" + n));
    engine.FSpecArgs.push_back(dir.file("src/.hidden.bmp"));
    engine.Add();
    ASSERT_EQ(engine.Count(), 4) << ::testing::PrintToString(events);
    for (const ZipEntry& e : engine.ZipContents()) EXPECT_EQ(e.name.find('/'), std::string::npos) << e.name;
    EXPECT_EQ(compressionOf(dir.file("page.zip"), "page1.bmp"), ZIP_CM_DEFLATE);
    EXPECT_EQ(compressionOf(dir.file("page.zip"), "notes.tgz2"), ZIP_CM_DEFLATE);
    EXPECT_EQ(compressionOf(dir.file("page.zip"), "scan.PNG"), ZIP_CM_STORE);
    EXPECT_EQ(compressionOf(dir.file("page.zip"), "old.Zip"), ZIP_CM_STORE);
    EXPECT_EQ(compressionOf(dir.file("page.zip"), ".hidden.bmp"), -1);
    for (const std::string& n : names) EXPECT_TRUE(dir.exists("src/" + n)) << n;

    // Adding a file again replaces its entry.
    dir.writeText("src/page1.bmp", "new");
    engine.FSpecArgs = {dir.file("src/page1.bmp")};
    engine.Add();
    EXPECT_EQ(engine.Count(), 4);
    EXPECT_EQ(engine.ErrorCount(), 0) << ::testing::PrintToString(events);
}

TEST_F(EngineTest, ExtractRecreatesFoldersAndNeverOverwrites) {
    // Names up to the 255 bytes a folder entry allows.
    const std::string longest = std::string(251, 'n') + ".bmp", longer = std::string(238, 'm') + ".bmp";
    writeArchive(dir.file("t.zip"), {{"scans/", ""}, {"scans/deep/a.bmp", "A"}, {"b.bmp", "B"}, {"empty/", ""},
                                     {"scans/" + longest, "L"}, {longer, "M"}});
    dir.makeDir("out");
    dir.writeText("out/b.bmp", "mine");
    engine.setZipFileName(dir.file("t.zip"));
    engine.ExtrBaseDir = dir.file("out");
    engine.Extract();
    EXPECT_EQ(fileBytes(dir.file("out/scans/deep/a.bmp")), "A");
    EXPECT_EQ(fileBytes(dir.file("out/b.bmp")), "mine");
    EXPECT_EQ(fileBytes(dir.file("out/scans/" + longest)), "L");
    EXPECT_EQ(fileBytes(dir.file("out/" + longer)), "M");
    EXPECT_TRUE(fs::is_directory(dir.file("out/empty")));
    EXPECT_EQ(fs::current_path(), fs::path(dir.file("out")));
    EXPECT_EQ(engine.ErrorCount(), 0) << ::testing::PrintToString(events);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("out")), fs::directory_iterator()), 4);
}

TEST_F(EngineTest, EntriesLeadingOutsideTheFolderAreSkippedAndTheRestExtracted) {
    TempDir outside{"quillet-outside"};
    const unsigned link = S_IFLNK | 0777;
    struct Case { const char* what; std::vector<HandEntry> entries; };
    const std::vector<Case> cases{
        {"parent step", {{"../evil.bmp", "x"}, {"ok.bmp", "ok"}}},
        {"parent step inside", {{"a/../../evil.bmp", "x"}, {"ok.bmp", "ok"}}},
        {"backslash parent step", {{"..\\evil.bmp", "x"}, {"ok.bmp", "ok"}}},
        {"absolute", {{outside.file("evil.bmp"), "x"}, {"ok.bmp", "ok"}}},
        {"symlink entry", {{"ln", outside.path(), link}, {"ok.bmp", "ok"}}},
        {"symlink entry, then a file through it", {{"ln", outside.path(), link}, {"ln/evil.bmp", "x"}, {"ok.bmp", "ok"}}},
        {"folder on disk is a symlink", {{"disk/evil.bmp", "x"}, {"ok.bmp", "ok"}}},
    };
    for (const Case& c : cases) {
        TempDir base{"quillet-base"};
        fs::create_directory_symlink(outside.path(), base.file("disk"));
        events.clear();
        const int errorsBefore = engine.ErrorCount();
        writeArchive(dir.file("slip.zip"), c.entries);
        engine.setZipFileName(dir.file("slip.zip"));
        engine.ExtrBaseDir = base.path();
        engine.Extract();
        EXPECT_EQ(fileBytes(base.file("ok.bmp")), "ok") << c.what;
        EXPECT_TRUE(outside.names().empty()) << c.what;
        EXPECT_FALSE(fs::exists(fs::path(base.path()).parent_path() / "evil.bmp")) << c.what;
        EXPECT_FALSE(fs::is_symlink(base.file("ln"))) << c.what;
        ASSERT_FALSE(events.empty()) << c.what;
        EXPECT_EQ(events.front().rfind("0: Skipped ", 0), 0u) << c.what << ": " << events.front();
        EXPECT_GT(engine.ErrorCount(), errorsBefore) << c.what;
        fs::current_path(cwd);
    }
}

TEST_F(EngineTest, FailedWritesLeaveNoTruncatedFileAndNoHalfWrittenArchive) {
    writeArchive(dir.file("big.zip"), {{"small.bmp", "s"}, {"big.bmp", std::string(3 << 20, 'b')}});
    dir.makeDir("out");
    engine.setZipFileName(dir.file("big.zip"));
    engine.ExtrBaseDir = dir.file("out");
    {
        FileSizeLimit limit(1 << 20);
        engine.Extract();
    }
    std::vector<std::string> written;
    for (const auto& e : fs::directory_iterator(dir.file("out"))) written.push_back(e.path().filename());
    EXPECT_EQ(written, std::vector<std::string>{"small.bmp"});
    ASSERT_FALSE(events.empty());
    EXPECT_NE(events.back().find("Cannot extract big.bmp"), std::string::npos) << events.back();
    EXPECT_NE(events.back().rfind("0: ", 0), 0u);  // a library error code

    // Adding a file that does not fit: the old archive stays as it was.
    fs::current_path(cwd);
    const std::string before = fileBytes(good());
    dir.writeText("huge.bmp", std::string(4 << 20, 'h'));
    events.clear();
    engine.setZipFileName(dir.file("good.zip"));
    engine.FSpecArgs = {dir.file("huge.bmp")};
    {
        FileSizeLimit limit(before.size() + 4096);
        engine.Add();
    }
    EXPECT_EQ(fileBytes(dir.file("good.zip")), before);
    EXPECT_EQ(engine.Count(), 3);
    ASSERT_FALSE(events.empty());
    EXPECT_NE(events.back().find("it is left as it was"), std::string::npos) << events.back();
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().rfind("good.zip.", 0), std::string::npos) << e.path();
}

}  // namespace
}  // namespace quillet::archive::test
