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

std::string parse(int argc, char** argv, PrintArguments& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string o = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (o == "--print") {
            a.print = true;
        } else if (o == "--preview-to") {
            if (!value(v)) return "--preview-to needs a directory";
            a.previewTo = v;
        } else if (o == "--printer") {
            if (!value(a.printer) || a.printer.empty()) return "--printer needs a printer name";
        } else if (o == "--thick") {
            a.thick = true;
        } else if (o == "--paper") {
            if (!value(v) || !(a.paper = parsePaper(v))) return kPaperForms;
        } else if (o == "-C") {
            if (!value(a.directory)) return "-C needs a directory";
        } else if (o == "-v") {
            a.verbose = true;
        } else if (!o.empty() && o[0] == '-') {
            return "unknown option " + o;
        } else {
            a.files.push_back(o);
        }
    }
    return {};
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

    std::optional<app::PrinterGeometry> printerGeometry() override {
        const auto g = jobs_.geometry();
        if (!g && !told_) {
            told_ = true;
            std::fprintf(stderr, "quillet-batch: %s\n", jobs_.lastError().c_str());
        }
        return g;
    }
    bool printPage(const imaging::Bitmap& page) override {
        const bool ok = jobs_.printPage(page);
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
    bool told_ = false;
};

}  // namespace

int printMain(int argc, char** argv) {
    PrintArguments args;
    const std::string why = parse(argc, argv, args);
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
    if (args.print) {
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
        const int before = platform.problems();
        form.PrintPreview1.click();
        platform.onInformation = nullptr;
        if (platform.problems() > before || written != int(pages.size())) ++failures;
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}

}  // namespace quillet::batch
