// quillet-batch: the main job of Quillet without a window, for scripts and
// machines without a display. It drives the same window models a user
// drives: it lists a directory like the file list, selects pages, sets the
// options, locks the selection, writes the layout fields and presses OK.
//
//   quillet-batch [-C DIR] [OPTION...] [FILE...]
//
//   -C DIR               the directory of the pages (default: the current one)
//   FILE...              the pages to select (default: every *.bmp listed)
// Options applied before the lock (in this order, whatever their order on
// the command line):
//   --format row         Row format instead of Column format
//   --no-autocrop        Autocrop off
//   --no-compression-stats  Compression DISABLED (no line-gap statistics)
//   --no-stretch-width   Stretch to Largest Width off
//   --no-fix-width       Fix Page Size to Largest Width off (Row format only)
//   --stretch-height     Stretch to Longest Height on
//   --fix-height         Fix Page Size to Longest Height on
//   --paper A5|A4|A3|WxH printed size (W x H in mm: User Defined); without a
//                        printer the printed size is 210 x 297 mm
//   --borders IT,IB,IL,IR,ET,EB,EL,ER  the eight border widths in mm
//   --int-header TEXT, --int-footer TEXT, --ext-header TEXT, --ext-footer TEXT
//   --justify-h left|centre|right, --justify-v top|centre|bottom
//   --name BASE          base file name of the external pages (default page)
//   -o DIR               output directory (default: the pages' directory)
// Field writes after the lock, in the order given:
//   --compression none|high|medium|low, --xppi N, --yppi N, --columns N,
//   --length-pixels N, --length-pages N
// Then:
//   --dry-run            stop before OK
//   --pdf FILE           also write the external pages into one PDF FILE,
//                        each page of the printed size
//   -v                   print every status text as it is written
//   -h, --help           this text
//   --version            the version (tools/batch/version.cpp)
//
// Output: the line "layout: length-pixels=.. length-pages=.. columns=..
// xppi=.. yppi=.. printed-pages=.." and the size line before OK, then the
// last status text. Message boxes go to standard error as "<caption>: <text>"
// and are answered with their first button. A progress bar is drawn on
// standard error when it is a terminal.
// Printing and previewing are other commands (tools/batch/print.cpp).
// Exit status: 0 after "Done" (or a clean --dry-run), 1 after a refusal or an
// error (a warning or error box, or a lock that did not take), 2 for bad
// arguments.

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/console_platform.h"
#include "tools/batch/batch_commands.h"
#include "tools/batch/batch_setup.h"
#include "tools/batch/terminal_bar.h"
#include "tools/batch/flag_table.h"
#include "app/output_directory.h"
#include "imaging/bmp_file.h"
#include "output/pdf_document.h"
#include "program/program.h"
#include "layout/layout_geometry.h"

// Qt last: its "emit" macro must not meet the models' emit().
#include <QGuiApplication>
#include <QtGlobal>

namespace {

using quillet::app::Program;
using quillet::batch::Flag;

const char* const kUsage =
    "usage: quillet-batch [-C DIR] [OPTION...] [FILE...]\n"
    "Composes the selected pages of DIR (default: the current directory) into external\n"
    "pages, as Quillet's OK button does. FILEs select pages (default: all *.bmp).\n"
    "Before the lock:\n"
    "  --format row            Row format (default Column)\n"
    "  --no-autocrop           autocrop off\n"
    "  --no-compression-stats  compression disabled (no line-gap statistics)\n"
    "  --no-stretch-width      Stretch to Largest Width off\n"
    "  --no-fix-width          Fix Page Size to Largest Width off (Row format)\n"
    "  --stretch-height        Stretch to Longest Height on\n"
    "  --fix-height            Fix Page Size to Longest Height on\n"
    "  --paper A5|A4|A3|WxH    printed size (WxH in mm); default 210x297 without a printer\n"
    "  --borders IT,IB,IL,IR,ET,EB,EL,ER   border widths in mm (internal, external)\n"
    "  --int-header TEXT  --int-footer TEXT  --ext-header TEXT  --ext-footer TEXT\n"
    "  --justify-h left|centre|right       --justify-v top|centre|bottom\n"
    "  --name BASE             base file name (pages are <n>BASE.bmp; default page)\n"
    "  -o DIR                  output directory (default: the pages' directory)\n"
    "After the lock, applied in the order given:\n"
    "  --compression none|high|medium|low  --xppi N  --yppi N  --columns N\n"
    "  --length-pixels N       --length-pages N\n"
    "Then:\n"
    "  --dry-run               print the layout and stop before OK\n"
    "  --pdf FILE              also write the external pages into one PDF, pages of the printed size\n"
    "  -v                      print every status text as it is written\n"
    "  -h, --help              this text\n"
    "  --version               print the version and stop\n"
    "Prints 'layout: ...' and the size line before OK, then the last status text.\n"
    "Printing and previewing instead: quillet-batch --print --help.\n"
    "Importing scanned PDF, TIFF, PNG and JPEG pages first: quillet-batch import --help.\n"
    "Cleaning scanned pages first (skew, dark borders, specks): quillet-batch clean --help.\n"
    "Exit status: 0 done, 1 refused or failed, 2 bad arguments.\n";

int badArguments(const std::string& why) {
    if (!why.empty()) std::fprintf(stderr, "quillet-batch: %s\n", why.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

struct FieldWrite {
    std::string option;
    long value = 0;  // compression: item index
};

struct Arguments {
    std::string directory = ".";
    std::vector<std::string> files;
    bool rowFormat = false, noAutocrop = false, noCompressionStats = false;
    bool noStretchWidth = false, noFixWidth = false, stretchHeight = false, fixHeight = false;
    std::optional<quillet::batch::PaperChoice> paper;
    std::optional<std::vector<long>> borders;
    std::map<std::string, std::string> texts;  // int-header ... ext-footer
    std::optional<std::string> justifyH, justifyV, name, output, pdf;
    std::vector<FieldWrite> writes;
    bool dryRun = false, verbose = false;
};

// "--borders IT,IB,IL,IR,ET,EB,EL,ER": eight whole widths in mm.
std::string parseBorders(const std::string& v, std::optional<std::vector<long>>& out) {
    std::vector<long> b;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = v.find(',', start);
        const std::string width = v.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        long n = 0;
        if (!quillet::batch::parseWholeNumber(width, 0, 99999, n))
            return "--borders takes eight whole millimetre widths IT,IB,IL,IR,ET,EB,EL,ER";
        b.push_back(n);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (b.size() != 8) return "--borders takes eight widths IT,IB,IL,IR,ET,EB,EL,ER";
    out = b;
    return {};
}

// An option whose value is one of `words`: anything else is "NAME TAKES".
Flag wordFlag(const std::string& name, const std::string& takes, const std::vector<std::string>& words,
              std::function<void(const std::string&)> store) {
    return quillet::batch::checkedFlag(name, takes, [words, store](const std::string& v) {
        if (std::find(words.begin(), words.end(), v) == words.end()) return false;
        store(v);
        return true;
    });
}

const std::vector<std::string> kCompressionItems{"none", "high", "medium", "low"};

// The layout fields written after the lock, in the order given.
void addFieldWrites(std::vector<Flag>& t, Arguments& a) {
    t.push_back(wordFlag("--compression", "takes none, high, medium or low", kCompressionItems,
                         [&a](const std::string& v) {
                             const auto item = std::find(kCompressionItems.begin(), kCompressionItems.end(), v);
                             a.writes.push_back({"--compression", long(item - kCompressionItems.begin())});
                         }));
    for (const std::string name : {"--xppi", "--yppi", "--columns", "--length-pixels", "--length-pages"})
        t.push_back(quillet::batch::checkedFlag(name, "takes a whole number", [&a, name](const std::string& v) {
            long n = 0;
            if (!quillet::batch::parseWholeNumber(v, 0, 99999, n)) return false;
            a.writes.push_back({name, n});
            return true;
        }));
}

std::vector<Flag> flags(Arguments& a) {
    using quillet::batch::switchFlag;
    using quillet::batch::textFlag;
    std::vector<Flag> t{
        textFlag("-C", "needs a directory", a.directory),
        textFlag("-o", "needs a directory", a.output),
        switchFlag("-v", a.verbose),
        switchFlag("--dry-run", a.dryRun),
        textFlag("--pdf", "needs a file name", a.pdf),
        wordFlag("--format", "takes row or column", {"row", "column"},
                 [&a](const std::string& v) { a.rowFormat = v == "row"; }),
        switchFlag("--no-autocrop", a.noAutocrop),
        switchFlag("--no-compression-stats", a.noCompressionStats),
        switchFlag("--no-stretch-width", a.noStretchWidth),
        switchFlag("--no-fix-width", a.noFixWidth),
        switchFlag("--stretch-height", a.stretchHeight),
        switchFlag("--fix-height", a.fixHeight),
        quillet::batch::paperFlag(a.paper, "needs a size"),
        {"--borders", "needs eight widths", [&a](const std::string& v) { return parseBorders(v, a.borders); }},
        wordFlag("--justify-h", "takes left, centre or right", {"left", "centre", "center", "right"},
                 [&a](const std::string& v) { a.justifyH = v; }),
        wordFlag("--justify-v", "takes top, centre or bottom", {"top", "centre", "center", "bottom"},
                 [&a](const std::string& v) { a.justifyV = v; }),
        textFlag("--name", "needs a base file name", a.name),
    };
    for (const std::string name : {"--int-header", "--int-footer", "--ext-header", "--ext-footer"})
        t.push_back({name, "needs a text", [&a, name](const std::string& v) {
                         a.texts[name.substr(2)] = v;
                         return std::string();
                     }});
    addFieldWrites(t, a);
    return t;
}

// Returns an empty string on success, otherwise why the arguments are bad;
// sets help when -h was given.
std::string parse(int argc, char** argv, Arguments& a, bool& help) {
    const quillet::batch::FlagWalk walk = quillet::batch::walkFlags(argc, argv, flags(a));
    help = walk.help;
    a.files = walk.positional;
    return walk.error;
}

// A progress bar on standard error, fed with the status texts.
class ProgressBar {
public:
    explicit ProgressBar(bool on) : bar_(on), on_(on) {}
    void update(const std::string& text) {
        if (!on_) return;
        int pct = -1;
        std::string phase;
        if (text.rfind("Layout processing", 0) == 0) {
            const auto slash = text.find('/');
            const auto space = text.rfind(' ', slash);
            if (slash != std::string::npos && space != std::string::npos) {
                const long k = std::atol(text.c_str() + space + 1), n = std::atol(text.c_str() + slash + 1);
                if (n > 0) pct = int(k * 100 / n);
            }
            phase = "framing";
        } else if (text.rfind("Compression processing", 0) == 0) {
            pct = std::atoi(text.c_str() + 29);
            phase = "compression";
        } else if (text.rfind("Final layout processing", 0) == 0) {
            pct = std::atoi(text.c_str() + 31);
            phase = "placing";
        } else if (text.rfind("Compression statistics", 0) == 0 || text.rfind("Autocrop", 0) == 0) {
            phase = "locking";
        }
        if (phase.empty()) return;
        const auto now = std::chrono::steady_clock::now();
        if (phase == phase_ && pct == pct_ && now - last_ < std::chrono::milliseconds(100)) return;
        if (now - last_ < std::chrono::milliseconds(50) && phase == phase_) return;
        last_ = now;
        phase_ = phase;
        pct_ = pct;
        std::string label = phase;
        label.resize(std::max<std::size_t>(label.size(), 12), ' ');
        bar_.draw(label, pct);
    }
    void finish() { bar_.finish(); }

private:
    quillet::batch::TerminalBar bar_;
    bool on_;
    std::string phase_;
    int pct_ = -2;
    std::chrono::steady_clock::time_point last_{};
};

// Qt's own diagnostics (no runtime directory, font substitutions) are not
// the program's messages: shown only with -v.
bool g_qtChatter = false;
void qtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (g_qtChatter || type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "qt: %s\n", text.toLocal8Bit().constData());
}

// Clicks a check item until it shows `want` (a disabled item stays as it is).
void setMenuCheck(quillet::app::MenuItem& item, bool want) {
    if (item.checked() != want) item.click();
}

// The other commands (tools/batch/), one line each.
const quillet::batch::Command kCommands[] = {
    {"acquire", quillet::batch::acquireMain},
    {"--print", quillet::batch::printMain},
    {"--preview-to", quillet::batch::printMain},
    {"--zip-add", quillet::batch::zipAddMain},
    {"--zip-list", quillet::batch::zipListMain},
    {"--zip-extract", quillet::batch::zipExtractMain},
    {"--version", quillet::batch::versionMain},
    {"import", quillet::batch::importMain},
    {"clean", quillet::batch::cleanMain},
};

// The command that the command line chooses, or nothing for composing.
quillet::batch::CommandMain chosenCommand(int argc, char** argv) {
    for (const quillet::batch::Command& c : kCommands) {
        if (c.trigger == nullptr) continue;
        const std::string trigger = c.trigger;
        if (trigger[0] != '-') {
            if (argc > 1 && trigger == argv[1]) return c.run;
            continue;
        }
        for (int i = 1; i < argc; ++i)
            if (trigger == argv[i]) return c.run;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (const quillet::batch::CommandMain command = chosenCommand(argc, argv)) return command(argc, argv);
    Arguments args;
    bool help = false;
    const std::string bad = parse(argc, argv, args, help);
    if (help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!bad.empty()) return badArguments(bad);

    // Large bitmaps come and go page after page: keep freed memory for the
    // next one instead of handing it back and faulting it in again.
    ::mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    ::mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);

    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(args.directory, ec)) return badArguments("no such directory: " + args.directory);
    const std::string directory = fs::absolute(args.directory, ec).lexically_normal().string();

    // Text drawing needs a GUI application.
    quillet::batch::renderOffscreenWithoutDisplay();
    g_qtChatter = args.verbose;
    qInstallMessageHandler(qtMessage);
    QGuiApplication application(argc, argv);

    quillet::app::ConsolePlatform platform;
    Program program(platform, directory, "");
    program.detachViewer();  // nothing is shown: no viewer work
    quillet::app::MainForm& form = program.form;

    ProgressBar progress(::isatty(2) == 1);
    form.Panel1.written.connect([&] {
        if (args.verbose) {
            std::printf("%s\n", form.Panel1.text().c_str());
        }
        progress.update(form.Panel1.text());
    });

    // The selection, as a user's selection in the list.
    quillet::app::FileList& list = form.FileListBox1;
    if (const auto failed = quillet::batch::selectPages(list, args.files)) {
        if (failed->badArgument) return badArguments(failed->text);
        std::fprintf(stderr, "quillet-batch: %s\n", failed->text.c_str());
        return 1;
    }

    // Options that must precede the lock.
    if (args.rowFormat && form.outputFormat == quillet::app::OutputFormat::Column) form.Columnformat1.click();
    setMenuCheck(form.Autocrop1, !args.noAutocrop);
    if (args.noCompressionStats && form.compressionEnabled) form.Compressiontoggle1.click();
    if (args.noStretchWidth) setMenuCheck(form.Stretchtolargestwidth1, false);
    if (args.noFixWidth) setMenuCheck(form.Fixpagesizetolongestwidth1, false);
    if (args.stretchHeight) setMenuCheck(form.Stretchtolargestheight1, true);
    if (args.fixHeight) setMenuCheck(form.Fixpagesizetolongestheight1, true);
    quillet::output::PrintedSizeDialog& paper = program.setpapersize;
    if (args.paper) quillet::batch::applyPaper(paper, *args.paper);
    quillet::layout::BordersDialog& borders = program.setbordersheadersfootersdialog;
    if (args.borders) {
        quillet::app::NumberField* fields[] = {&borders.topint, &borders.bottomint, &borders.leftint,
                                               &borders.rightint, &borders.topext, &borders.bottomext,
                                               &borders.leftext, &borders.rightext};
        for (int i = 0; i < 8; ++i) fields[i]->setValue(int((*args.borders)[std::size_t(i)]));
    }
    for (const auto& [which, text] : args.texts) {
        quillet::layout::BorderText& t = which == "int-header"   ? borders.inthead
                                         : which == "int-footer" ? borders.intfoot
                                         : which == "ext-header" ? borders.exthead
                                                                 : borders.extfoot;
        t.field.setText(text);
    }
    quillet::layout::JustificationDialog& justification = program.TabbedNotebookDlg;
    if (args.justifyH)
        justification.setHorizontal(*args.justifyH == "left"    ? quillet::layout::HorizontalJustification::Left
                                    : *args.justifyH == "right" ? quillet::layout::HorizontalJustification::Right
                                                                : quillet::layout::HorizontalJustification::Centre);
    if (args.justifyV)
        justification.setVertical(*args.justifyV == "top"      ? quillet::layout::VerticalJustification::Top
                                  : *args.justifyV == "bottom" ? quillet::layout::VerticalJustification::Bottom
                                                               : quillet::layout::VerticalJustification::Centre);
    if (args.name) form.filename.setText(*args.name);
    if (args.output) {
        form.OutputDirectory = quillet::app::cutRoot(fs::absolute(*args.output, ec).lexically_normal().string());
        form.OutputDirectoryChosen = true;
    }

    // The lock.
    const int problemsBefore = platform.problems();
    form.lockselection.setChecked(true);
    if (!form.locked() || platform.problems() > problemsBefore) {
        progress.finish();
        std::printf("%s\n", form.Panel1.text().c_str());
        std::fprintf(stderr, "quillet-batch: the selection could not be locked\n");
        return 1;
    }

    // Field writes in the order given.
    for (const FieldWrite& w : args.writes) {
        if (w.option == "--compression") form.compressionselection.userSelect(int(w.value));
        else if (w.option == "--xppi") form.xpixelsperinch.setValue(int(w.value));
        else if (w.option == "--yppi") form.ypixelsperinch.setValue(int(w.value));
        else if (w.option == "--columns") form.Numberofcolumnsperprintedpage.setValue(int(w.value));
        else if (w.option == "--length-pixels") form.ColumnLengthPixels.setValue(int(w.value));
        else if (w.option == "--length-pages") form.ColumnLengthPages.setValue(int(w.value));
    }

    progress.finish();
    std::printf("layout: length-pixels=%d length-pages=%d columns=%d xppi=%d yppi=%d printed-pages=%d\n",
                form.ColumnLengthPixels.value(), form.ColumnLengthPages.value(),
                form.Numberofcolumnsperprintedpage.value(), form.xpixelsperinch.value(),
                form.ypixelsperinch.value(), form.numberofprintedpages.value());
    const quillet::layout::LayoutNumbers& n = program.layoutNumbers;
    std::printf("%s\n", quillet::layout::sizeLine(n.ExternalPageWidthPx, n.ExternalPageHeightPx,
                                                  form.numberofprintedpages.value())
                            .c_str());
    std::fflush(stdout);

    // The external pages go into the PDF as they are saved.
    std::optional<quillet::output::PdfDocument> pdf;
    std::string pdfError;
    if (args.pdf && !args.dryRun) {
        pdf.emplace(*args.pdf);
        program.composition.saver = [&](const quillet::imaging::Bitmap& page, const std::string& path) {
            quillet::imaging::saveBmp(page, path);
            if (!pdfError.empty()) return;
            try {
                pdf->addPage(page, paper.widthMm(), paper.heightMm(), form.xpixelsperinch.value());
            } catch (const std::exception& e) {
                pdfError = e.what();
            }
        };
    }

    if (!args.dryRun) form.Button1.click();
    progress.finish();
    std::printf("%s\n", form.Panel1.text().c_str());
    if (platform.problems() > problemsBefore) return 1;
    if (!args.dryRun && form.Panel1.text().rfind("Done", 0) != 0) return 1;
    if (pdf) {
        try {
            if (!pdfError.empty()) throw quillet::output::PdfError(pdfError);
            pdf->finish();
            std::printf("PDF: %s, %d page%s\n", pdf->path().c_str(), pdf->pages(), pdf->pages() == 1 ? "" : "s");
        } catch (const std::exception& e) {
            std::fprintf(stderr, "quillet-batch: %s\n", e.what());
            return 1;
        }
    }
    return 0;
}
