// quillet-batch --print / --preview-to: Print and Print Preview of the
// selected pages without a window, through the same commands as the menu
// items, the question "all the selected bitmaps?" answered Yes.
//
//   quillet-batch --print [--printer NAME] [--thick] [--paper SIZE] [-C DIR] [FILE...]
//   quillet-batch --preview-to OUT [--thick] [--paper SIZE] [-C DIR] [FILE...]
//
// --print sends one job per selected page to the printer NAME (default: the
// default CUPS printer) and prints each status line ("Spooled to printer
// . . . 'page.bmp' (1 of 3)"). --preview-to writes each page's preview image
// as OUT/<page name>. Exit status 0 when every page was spooled (written),
// 1 otherwise, 2 for bad arguments.

#include <cstdio>
#include <functional>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/console_platform.h"
#include "imaging/bmp_file.h"
#include "program/program.h"
#include "tools/batch/batch_commands.h"
#include "tools/batch/batch_setup.h"
#include "tools/batch/flag_table.h"
#include "ui/printer_job.h"

// Qt last: its "emit" macro must not meet the models' emit().
#include <QGuiApplication>

namespace quillet::batch {

namespace {

namespace fs = std::filesystem;

const char* const kPrintUsage =
    "usage: quillet-batch --print [--printer NAME] [--thick] [--paper SIZE] [-C DIR] [FILE...]\n"
    "       quillet-batch --preview-to OUT [--thick] [--paper SIZE] [-C DIR] [FILE...]\n"
    "Prints (or previews into OUT) the selected pages of DIR (default: the current\n"
    "directory), each as its own job stretched to the printed size.\n"
    "  --printer NAME   the printer (default: the default printer)\n"
    "  --thick          Thick Print on\n"
    "  --paper SIZE     printed size A5, A4, A3 or WxH in mm (default: the printable area)\n"
    "  -v               print every status text\n"
    "Exit status: 0 when every page was spooled (or written), 1 otherwise, 2 bad arguments.\n";

struct PrintArguments {
    bool print = false;
    std::optional<std::string> previewTo;
    std::string printer;
    bool thick = false;
    std::optional<PaperChoice> paper;
    std::string directory = ".";
    std::vector<std::string> files;
    bool verbose = false;
};

std::vector<Flag> flags(PrintArguments& a) {
    return {
        switchFlag("--print", a.print),
        textFlag("--preview-to", "needs a directory", a.previewTo),
        checkedFlag("--printer", "needs a printer name",
                    [&a](const std::string& v) {
                        a.printer = v;
                        return !v.empty();
                    }),
        switchFlag("--thick", a.thick),
        paperFlag(a.paper),
        textFlag("-C", "needs a directory", a.directory),
        switchFlag("-v", a.verbose),
    };
}

// The trigger (--print or --preview-to) is an option of the table, wherever
// it stands.
std::string parse(int argc, char** argv, PrintArguments& a, bool& help) {
    FlagWalk walk = walkFlags(argc, argv, flags(a));
    // "--preview-to --help" asks for help (a folder of that name is ./--help).
    help = walk.help || a.previewTo == "-h" || a.previewTo == "--help";
    a.files = std::move(walk.positional);
    return walk.error;
}

int bad(const std::string& why) {
    std::fprintf(stderr, "quillet-batch: %s\n", why.c_str());
    std::fputs(kPrintUsage, stderr);
    return 2;
}

// The console's answers, with a real printer; and, while previewing, each
// preview written out when its information box comes up (the viewer then
// shows it).
class BatchPrintPlatform : public app::ConsolePlatform {
public:
    explicit BatchPrintPlatform(const std::string& printer) : jobs_(printer) {}

    std::optional<app::PrinterGeometry> printerGeometry() override { return jobs_.geometry(); }
    // Whether the printer can be used; says why not, once.
    bool printerReady() {
        if (jobs_.geometry()) return true;
        std::fprintf(stderr, "quillet-batch: %s\n", jobs_.lastError().c_str());
        return false;
    }
    bool printPage(const imaging::Bitmap& page, imaging::Size onPaper) override {
        const bool ok = jobs_.printPage(page, onPaper);
        if (!ok) std::fprintf(stderr, "quillet-batch: %s\n", jobs_.lastError().c_str());
        return ok;
    }
    app::Button messageBox(const app::MessageBoxRequest& request) override {
        if (request.kind == app::MessageKind::Information && onInformation) onInformation();
        return ConsolePlatform::messageBox(request);
    }

    std::function<void()> onInformation;

private:
    ui::PrinterJobs jobs_;
};

}  // namespace

std::vector<std::string> printOptions() {
    PrintArguments a;
    return optionNames(flags(a));
}

int printMain(int argc, char** argv) {
    PrintArguments args;
    bool help = false;
    const std::string why = parse(argc, argv, args, help);
    if (help) {
        std::fputs(kPrintUsage, stdout);
        return 0;
    }
    if (!why.empty()) return bad(why);
    std::error_code ec;
    if (!fs::is_directory(args.directory, ec)) return bad("no such directory: " + args.directory);
    const std::string directory = fs::absolute(args.directory, ec).lexically_normal().string();
    if (args.previewTo) {
        fs::create_directories(*args.previewTo, ec);
        if (!fs::is_directory(*args.previewTo, ec)) return bad("cannot make the directory " + *args.previewTo);
        if (fs::equivalent(*args.previewTo, directory, ec))
            return bad("--preview-to must not be the pages' own directory");
    }

    renderOffscreenWithoutDisplay();
    QGuiApplication application(argc, argv);
    BatchPrintPlatform platform(args.printer);
    app::Program program(platform, directory, "");
    program.detachViewer();  // the viewer shows previews only, never the selected pages
    app::MainForm& form = program.form;
    int spooled = 0;
    form.Panel1.written.connect([&] {
        const std::string& text = form.Panel1.text();
        if (text.rfind("Spooled", 0) == 0) ++spooled;
        if (!text.empty() && (args.verbose || text.rfind("Spooled", 0) == 0 ||
                              text.find("not previewed") != std::string::npos))
            std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    });

    if (const auto failed = selectPages(form.FileListBox1, args.files)) {
        if (failed->badArgument) return bad(failed->text);
        std::fprintf(stderr, "quillet-batch: %s\n", failed->text.c_str());
        return 1;
    }
    const std::vector<std::string> pages = form.FileListBox1.selectedNames();
    if (args.paper) applyPaper(program.setpapersize, *args.paper);
    if (args.thick != form.ThickPrint1.checked()) form.ThickPrint1.click();

    int failures = 0;
    if (args.print && !platform.printerReady()) {
        ++failures;
    } else if (args.print) {
        const int before = platform.problems();
        form.Print1.click();
        if (platform.problems() > before || spooled != int(pages.size())) ++failures;
    }
    if (args.previewTo) {
        std::size_t shown = 0;
        int written = 0;
        platform.onInformation = [&] {
            const imaging::Bitmap& preview = program.tempform.ViewerBitmap;
            if (shown >= pages.size() || preview.isEmpty()) {
                ++shown;
                return;
            }
            const std::string out = (fs::path(*args.previewTo) / pages[shown++]).string();
            try {
                imaging::saveBmp(preview, out);
                ++written;
                std::printf("preview %s %dx%d\n", out.c_str(), preview.width(), preview.height());
            } catch (const std::exception& e) {
                std::fprintf(stderr, "quillet-batch: %s\n", e.what());
            }
        };
        // A preview larger than the viewer can draw is still written; only a
        // preview that could not be made (or saved) fails the run.
        form.PrintPreview1.click();
        platform.onInformation = nullptr;
        if (written != int(pages.size())) ++failures;
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}

}  // namespace quillet::batch
