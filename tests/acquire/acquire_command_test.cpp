// The Acquire command and Select Source through the Program and the scripted
// platform: with a scripted scanner for the counter, the names and the file
// faults, and with the real layer on the SANE test backend (the scanner's
// own dialog answered by a script) for the feeder and Cancel.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "acquire/scan_dialog.h"
#include "acquire/twain.h"
#include "imaging/bmp_file.h"
#include "program/program.h"
#include "sane_backend.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace quillet::acquire {
namespace {

using testing::FakePlatform;
using testing::TempDir;

// A page of line art with a black diagonal.
NativeHandle scriptedPage() {
    auto* page = new NativeImage;
    page->lineArt = imaging::Bitmap(40, 30);
    for (int i = 0; i < 30; ++i) page->lineArt.setBlack(i, i, true);
    page->xDpi = page->yDpi = 300;
    return page;
}

// Gives `pages` pages, then nothing (the user's Cancel); records what the
// windows showed at each acquisition.
struct ScriptedScanner : Twain {
    app::Program& program;
    int pages;
    int selections = 0;
    std::vector<std::string> seen;  // "minimised counter viewer" per acquisition
    ScriptedScanner(app::Program& p, int n) : program(p), pages(n) {}
    int TWAIN_SelectImageSource() override { return ++selections; }
    NativeHandle TWAIN_AcquireNative() override {
        seen.push_back(std::string(program.form.window.minimized() ? "minimised" : "normal") +
                       (program.counterform.window.visible() ? " counter" : "") +
                       (program.tempform.window.visible() ? " viewer" : ""));
        return pages-- > 0 ? scriptedPage() : nullptr;
    }
};

struct AcquireTest : ::testing::Test {
    TempDir out;
    TempDir temp;
    FakePlatform fake;
    std::filesystem::path cwd = std::filesystem::current_path();
    std::unique_ptr<app::Program> program;

    AcquireTest() {
        fake.tempDir = temp.path();
        program = std::make_unique<app::Program>(fake, out.path(), "");
    }
    ~AcquireTest() override { std::filesystem::current_path(cwd); }
    app::CounterForm& counter() { return program->counterform; }
    // Runs Acquire with the scanner and returns the boxes' texts.
    std::vector<std::string> acquire(Twain& scanner) {
        program->acquisition.scanner = &scanner;
        fake.messages.clear();
        program->form.Acquire1.click();
        return fake.messageTexts();
    }
};

TEST_F(AcquireTest, CounterNamesTheFileAndGrowsUpToItsMaximum) {
    struct Case {
        int counter;
        const char* file;
        int after;
        bool atMaximum;
    };
    for (const Case& c : {Case{1, "page001.bmp", 2, false}, Case{9, "page009.bmp", 10, false},
                          Case{10, "page010.bmp", 11, false}, Case{100, "page100.bmp", 101, false},
                          Case{300, "page300.bmp", 300, true}}) {
        SCOPED_TRACE(c.file);
        counter().counterspinedit.setValue(c.counter);
        ScriptedScanner scanner(*program, 2);
        const std::vector<std::string> boxes = acquire(scanner);
        ASSERT_TRUE(out.exists(c.file));
        EXPECT_TRUE(imaging::isMonochromeBmp(out.file(c.file)));
        EXPECT_EQ(counter().counterspinedit.value(), c.atMaximum ? 300 : c.after + 1);
        if (c.atMaximum) {
            // The second page would have replaced page300.bmp: not taken.
            EXPECT_EQ(scanner.seen.size(), 1u);
            EXPECT_EQ(boxes, (std::vector<std::string>{kPressOkText, kCounterAtMaximumText}));
            EXPECT_EQ(program->form.Panel1.text(), "Saved to " + out.file(c.file));
        } else {
            EXPECT_EQ(scanner.seen.size(), 3u);
            EXPECT_EQ(boxes, (std::vector<std::string>{kPressOkText, kPressOkText}));
        }
    }
}

TEST_F(AcquireTest, WindowsDuringAndAfterTheRunAndTheSourceChosenOnce) {
    ScriptedScanner scanner(*program, 1);
    acquire(scanner);
    EXPECT_EQ(scanner.selections, 1);
    EXPECT_EQ(scanner.seen, (std::vector<std::string>{"minimised counter viewer", "minimised counter viewer"}));
    EXPECT_FALSE(program->form.window.minimized());
    EXPECT_FALSE(counter().window.visible());
    // The viewer shows the page just saved.
    EXPECT_EQ(program->tempform.ViewerBitmap.width(), 40);
    acquire(scanner);
    EXPECT_EQ(scanner.selections, 1);
    // Cancel at once: nothing written, no box, the windows back.
    EXPECT_TRUE(acquire(scanner).empty());
    EXPECT_EQ(out.names(), std::vector<std::string>{"page001.bmp"});
    EXPECT_FALSE(program->form.window.minimized());
    EXPECT_FALSE(counter().window.visible());
}

TEST_F(AcquireTest, UsersFileNamedFileSurvivesAndTheListShowsTheScan) {
    out.writeText("file", "the user's own");
    out.writeText("page001.bmp", "an old scan");
    program->form.FileListBox1.refill();
    if (!program->form.UpdatefilelistafterOK1.checked()) program->form.UpdatefilelistafterOK1.click();
    ScriptedScanner scanner(*program, 2);
    acquire(scanner);
    EXPECT_EQ(out.names(), (std::vector<std::string>{"file", "page001.bmp", "page002.bmp"}));
    std::ifstream f(out.file("file"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), "the user's own");
    EXPECT_TRUE(imaging::isMonochromeBmp(out.file("page001.bmp")));
    EXPECT_EQ(program->form.FileListBox1.entries(), (std::vector<std::string>{"page001.bmp", "page002.bmp"}));
}

TEST_F(AcquireTest, AFailedSaveWarnsKeepsTheCounterAndLeavesNothing) {
    struct Case {
        const char* what;
        std::string directory;
    };
    // A read-only directory; root writes anyway, so then a file system that
    // takes no files.
    TempDir readOnly;
    std::filesystem::permissions(readOnly.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool root = ::access(readOnly.path().c_str(), W_OK) == 0;
    // A directory standing where the page would go.
    TempDir blocked;
    blocked.makeDir("page001.bmp");
    for (const Case& c : {Case{"read-only output directory", root ? std::string("/proc") : readOnly.path()},
                          Case{"target is a directory", blocked.path()}}) {
        SCOPED_TRACE(c.what);
        program->form.OutputDirectory = c.directory;
        program->form.OutputDirectoryChosen = true;
        program->form.Panel1.setText("before");
        counter().counterspinedit.setValue(1);
        ScriptedScanner scanner(*program, 1);
        const std::vector<std::string> boxes = acquire(scanner);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].rfind(kDiskErrorText, 0), 0u) << boxes[0];
        EXPECT_NE(boxes[0].find("page001.bmp"), std::string::npos) << boxes[0];
        EXPECT_EQ(boxes[1], kPressOkText);
        EXPECT_EQ(counter().counterspinedit.value(), 1);
        EXPECT_EQ(program->form.Panel1.text(), "before");
    }
    EXPECT_EQ(blocked.names(), std::vector<std::string>{"page001.bmp"});
    EXPECT_TRUE(std::filesystem::is_directory(blocked.file("page001.bmp")));
    std::filesystem::permissions(readOnly.path(), std::filesystem::perms::owner_all);
    EXPECT_TRUE(readOnly.names().empty());
}

// The scanner's own dialog answered by a script: the source, then Scan
// (Cancel once `scans` Scans were pressed); `cancelAfterSteps` >= 0 presses
// Cancel after that many read steps.
struct ScriptedDialogs : ScannerDialogs {
    std::string source;
    int cancelAfterSteps = -1;
    int scans = 1000;
    std::vector<std::pair<std::string, std::string>> options;
    int dialogs = 0;
    std::optional<int> chooseSource(const std::vector<DeviceInfo>& devices, int) override {
        for (std::size_t i = 0; i < devices.size(); ++i)
            if (devices[i].name == "test:0") return int(i);
        return std::nullopt;
    }
    void runScanDialog(ScanDialog& d) override {
        ++dialogs;
        const auto& s = d.choices().sources;
        d.chooseSource(int(std::find(s.begin(), s.end(), source) - s.begin()));
        for (const auto& [name, value] : options) d.device().setFromText(name, value);
        if (scans-- == 0) return d.cancel();
        d.scan();
        for (int steps = 0; d.reading(); ++steps) {
            if (steps == cancelAfterSteps) d.cancel();
            else d.step();
        }
        if (!d.finished()) d.cancel();  // a failure: shown, then Cancel
    }
};

TEST_F(AcquireTest, DocumentFeederOfTheTestBackendGivesTenPagesThenEnds) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    ScriptedDialogs dialogs;
    dialogs.source = "Automatic Document Feeder";
    SaneTwain layer(dialogs, fake);
    const std::vector<std::string> boxes = acquire(layer);
    EXPECT_EQ(boxes, std::vector<std::string>(10, kPressOkText));
    EXPECT_EQ(dialogs.dialogs, 11);
    std::vector<std::string> want;
    for (int i = 1; i <= 10; ++i) want.push_back("page0" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".bmp");
    EXPECT_EQ(out.names(), want);
    EXPECT_EQ(counter().counterspinedit.value(), 11);
    EXPECT_TRUE(imaging::isMonochromeBmp(out.file("page010.bmp")));
}

TEST_F(AcquireTest, CancelPartWayThroughTheFirstPageWritesNothing) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    ScriptedDialogs dialogs;
    dialogs.source = "Flatbed";
    // Slow reads, so the page is surely not complete after two steps.
    dialogs.options = {{"read-delay", "yes"}, {"read-delay-duration", "200000"}};
    dialogs.cancelAfterSteps = 2;
    SaneTwain layer(dialogs, fake);
    EXPECT_TRUE(acquire(layer).empty());
    EXPECT_TRUE(out.names().empty());
    EXPECT_EQ(counter().counterspinedit.value(), 1);
    EXPECT_FALSE(counter().window.visible());
    // The device is ready again: the next run scans a page.
    dialogs.cancelAfterSteps = -1;
    dialogs.scans = 1;
    dialogs.options = {{"read-delay", "no"}};
    EXPECT_EQ(acquire(layer), std::vector<std::string>{kPressOkText});
    EXPECT_EQ(out.names(), std::vector<std::string>{"page001.bmp"});
}

}  // namespace
}  // namespace quillet::acquire
