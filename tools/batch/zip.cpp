// quillet-batch's archive commands, replaying the file list's pop-up
// commands through the same models:
//
//   quillet-batch --zip-add [-C DIR] [--name BASE] [-o OUT] [FILE...]
//       Add selected files (FILEs, default every *.bmp of DIR), the question
//       answered All, into BASE.zip (default page.zip) in OUT (default DIR),
//       stopping at the first file whose archive cannot be written.
//   quillet-batch --zip-list ARCHIVE
//       The entry names, one a line (folders not counted), then their count.
//   quillet-batch --zip-extract ARCHIVE [-o OUT]
//       Extract into OUT (default: the archive's folder; made when missing).
//
// Every engine message and every notice goes to standard error as
// "<caption>: <text>" (engine messages under the caption "ZipMaster1"); the
// closing status text ("Added 4 bitmaps to ...") to standard output.
// Exit status: 0 on success, 1 when any message was an error, 2 for bad
// arguments.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/console_platform.h"
#include "app/output_directory.h"
#include "archive/ZipMstr.h"
#include "program/program.h"
#include "tools/batch/batch_commands.h"
#include "tools/batch/batch_setup.h"
#include "tools/batch/flag_table.h"

namespace quillet::batch {

namespace {

namespace fs = std::filesystem;

// The console, answering the add question with All and keeping count of the
// boxes that report a fault (everything but warnings that start with "W").
class ZipConsole : public app::ConsolePlatform {
public:
    app::Button messageBox(const app::MessageBoxRequest& r) override {
        const bool asksAll = r.kind == app::MessageKind::Confirmation &&
                             std::find(r.buttons.begin(), r.buttons.end(), app::Button::All) != r.buttons.end();
        const app::Button answer = app::ConsolePlatform::messageBox(r);
        if (asksAll) return app::Button::All;
        if (r.kind != app::MessageKind::Confirmation && (r.text.empty() || r.text.front() != 'W')) ++faults;
        return answer;
    }
    int faults = 0;
};

struct ZipArguments {
    std::string directory = ".";
    std::string output;
    std::string name;
    std::string archive;
    std::vector<std::string> files;
};

const char* const kZipUsage =
    "usage: quillet-batch --zip-add [-C DIR] [--name BASE] [-o OUT] [FILE...]\n"
    "       quillet-batch --zip-list ARCHIVE\n"
    "       quillet-batch --zip-extract ARCHIVE [-o OUT]\n"
    "Keeps bitmaps in ZIP archives, as the file list's archive commands do.\n"
    "  --zip-add        adds the FILEs of DIR (default: every *.bmp listed) to BASE.zip, as if\n"
    "                   the question were answered All\n"
    "  -C DIR           the directory of the files to add (default: the current one)\n"
    "  --name BASE      the archive's base name (default page: page.zip)\n"
    "  -o OUT           the folder the archive is written to (default: DIR), or that\n"
    "                   --zip-extract extracts into (default: the archive's folder)\n"
    "  --zip-list       prints the archive's entry names, one a line, then their count\n"
    "  --zip-extract    extracts every entry\n"
    "Messages go to standard error as '<caption>: <text>'.\n"
    "Exit status: 0 done, 1 any error, 2 bad arguments.\n";

int usage(const std::string& why) {
    std::fprintf(stderr, "quillet-batch: %s\n", why.c_str());
    std::fputs(kZipUsage, stderr);
    return 2;
}

// The table of an archive command: its trigger (which takes the archive
// when `takesArchive`) and the options it uses.
std::vector<Flag> zipFlags(const std::string& command, bool takesArchive, ZipArguments& a) {
    // The trigger is skipped wherever it stands, or takes the archive.
    Flag trigger{command, "", [](const std::string&) { return std::string(); }};
    if (takesArchive) trigger = textFlag(command, "needs an archive", a.archive);
    std::vector<Flag> table{trigger};
    if (command == "--zip-add") {
        table.push_back(textFlag("-C", "needs a directory", a.directory));
        table.push_back(textFlag("--name", "needs a base file name", a.name));
    }
    if (command != "--zip-list") table.push_back(textFlag("-o", "needs a directory", a.output));
    return table;
}

// Parses the options of the archive commands; `command` takes the archive
// as its value when `takesArchive`. Empty on success, else why not; `help`
// tells whether -h or --help was given.
std::string parseZip(int argc, char** argv, const std::string& command, bool takesArchive, ZipArguments& a,
                     bool& help) {
    FlagRules rules;
    rules.unknownTail = " for " + command;
    FlagWalk walk = walkFlags(argc, argv, zipFlags(command, takesArchive, a), rules);
    // "--zip-list --help" asks for help (an archive of that name is ./--help).
    help = walk.help || a.archive == "-h" || a.archive == "--help";
    a.files = std::move(walk.positional);
    if (help || !walk.error.empty() || !takesArchive) return walk.error;
    if (!a.files.empty()) return "unexpected argument " + a.files.front();
    return {};
}

// The usage text on standard output, for --help.
int helpText() {
    std::fputs(kZipUsage, stdout);
    return 0;
}

std::vector<std::string> zipOptions(const std::string& command, bool takesArchive) {
    ZipArguments a;
    return optionNames(zipFlags(command, takesArchive, a));
}

std::string absolute(const std::string& path) {
    std::error_code ec;
    return fs::absolute(path, ec).lexically_normal().string();
}

// Engine messages on standard error, then to the commands' own handler.
void echoEngineMessages(archive::TZipMaster& engine) {
    auto handler = engine.OnMessage;
    engine.OnMessage = [handler](int code, const std::string& text) {
        if (code != 0)
            std::fprintf(stderr, "ZipMaster1: %s (error %d)\n", text.c_str(), code);
        else
            std::fprintf(stderr, "ZipMaster1: %s\n", text.c_str());
        std::fflush(stderr);
        if (handler) handler(code, text);
    };
}

void chooseOutput(app::MainForm& form, const std::string& output) {
    if (output.empty()) return;
    form.OutputDirectory = app::cutRoot(absolute(output));
    form.OutputDirectoryChosen = true;
}

int status(const ZipConsole& console, const archive::TZipMaster& engine) {
    return console.faults > 0 || engine.ErrorCount() > 0 ? 1 : 0;
}

}  // namespace

int zipAddMain(int argc, char** argv) {
    ZipArguments a;
    bool help = false;
    const std::string bad = parseZip(argc, argv, "--zip-add", false, a, help);
    if (help) return helpText();
    if (!bad.empty()) return usage(bad);
    std::error_code ec;
    if (!fs::is_directory(a.directory, ec)) return usage("no such directory: " + a.directory);
    ZipConsole console;
    app::Program program(console, absolute(a.directory), "");
    program.detachViewer();  // the selected files are packed, never shown
    app::MainForm& form = program.form;
    if (const auto failure = selectPages(form.FileListBox1, a.files)) {
        if (failure->badArgument) return usage(failure->text);
        std::fprintf(stderr, "quillet-batch: %s\n", failure->text.c_str());
        return 1;
    }
    if (!a.name.empty()) form.filename.setText(a.name);
    const std::string folder = absolute(a.output.empty() ? a.directory : a.output);
    if (!fs::is_directory(folder, ec)) {
        std::fprintf(stderr, "quillet-batch: cannot create the archive in %s: there is no such folder\n",
                     folder.c_str());
        return 1;
    }
    chooseOutput(form, a.output);
    echoEngineMessages(program.ZipMaster1);
    program.archiveCommands.stopAddAtArchiveFailure = true;
    form.Addselectedfilesto1.click();
    std::printf("%s\n", form.Panel1.text().c_str());
    return status(console, program.ZipMaster1);
}

int zipListMain(int argc, char** argv) {
    ZipArguments a;
    bool help = false;
    const std::string bad = parseZip(argc, argv, "--zip-list", true, a, help);
    if (help) return helpText();
    if (!bad.empty()) return usage(bad);
    std::error_code ec;
    if (!fs::is_regular_file(a.archive, ec)) {
        std::fprintf(stderr, "quillet-batch: no such archive: %s\n", a.archive.c_str());
        return 1;
    }
    ZipConsole console;
    archive::TZipMaster engine(console);
    echoEngineMessages(engine);
    engine.setZipFileName(absolute(a.archive));
    for (const archive::ZipEntry& e : engine.ZipContents())
        if (!e.directoryOnly) std::printf("%s\n", e.name.c_str());
    std::printf("%d\n", engine.Count());
    return status(console, engine);
}

int zipExtractMain(int argc, char** argv) {
    ZipArguments a;
    bool help = false;
    const std::string bad = parseZip(argc, argv, "--zip-extract", true, a, help);
    if (help) return helpText();
    if (!bad.empty()) return usage(bad);
    std::error_code ec;
    const fs::path archive = absolute(a.archive);
    if (!fs::is_regular_file(archive, ec)) {
        std::fprintf(stderr, "quillet-batch: no such archive: %s\n", a.archive.c_str());
        return 1;
    }
    if (!a.output.empty()) {
        fs::create_directories(a.output, ec);
        if (!fs::is_directory(a.output, ec)) {
            std::fprintf(stderr, "quillet-batch: %s: the output directory cannot be made\n", a.output.c_str());
            return 1;
        }
    }
    ZipConsole console;
    app::Program program(console, archive.parent_path().string(), "");
    app::MainForm& form = program.form;
    chooseOutput(form, a.output);
    echoEngineMessages(program.ZipMaster1);
    form.Showzipfiles1.click();
    app::FileList& list = form.FileListBox1;
    int found = -1;
    for (int i = 0; i < list.count(); ++i)
        if (list.entry(i) == archive.filename().string()) found = i;
    if (found < 0) return usage("not an archive the file list shows: " + archive.string());
    list.setCurrentIndex(found);
    form.Extract.click();
    if (program.ZipMaster1.Count() > 0) std::printf("%s\n", form.Panel1.text().c_str());
    return status(console, program.ZipMaster1);
}

std::vector<std::string> zipAddOptions() { return zipOptions("--zip-add", false); }
std::vector<std::string> zipListOptions() { return zipOptions("--zip-list", true); }
std::vector<std::string> zipExtractOptions() { return zipOptions("--zip-extract", true); }

}  // namespace quillet::batch
