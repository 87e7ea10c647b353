#include "output/print_command.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "app/message_boxes.h"
#include "base/rounding.h"
#include "imaging/bmp_file.h"
#include "output/bitmap_walk.h"
#include "output/open_dialog.h"
#include "output/thickening.h"

namespace quillet::output {

imaging::Size printedPixels(const app::PrinterGeometry& printer, int widthMm, int heightMm) {
    const double acrossPerMm = double(printer.widthPx) / printer.widthMm;
    const double downPerMm = double(printer.heightPx) / printer.heightMm;
    return {base::toInt32(base::roundEven(widthMm * acrossPerMm)),
            base::toInt32(base::roundEven(heightMm * downPerMm))};
}

namespace {

// One axis of a colour page: `pixels` on the page, covering `paper` device
// pixels, the source stretched over the first `stretched` of them.
struct ColourAxis {
    int stretched, pixels, paper;
};

ColourAxis colourAxis(int printed, int source, int printable, int reach) {
    if (source >= printed) {
        const int n = std::min(printed + reach, printable);
        return {printed, n, n};
    }
    const int pixels = source + reach;
    return {source, pixels, base::toInt32(base::roundEven(double(pixels) * printed / source))};
}

}  // namespace

DevicePage devicePage(const imaging::Bitmap& source, imaging::Size printed, imaging::Size printable,
                      bool thick) {
    const int reach = thick ? 1 : 0;
    DevicePage page;
    imaging::Size stretched = printed;
    if (source.monochrome()) {
        page.bitmap.setSize(std::min(printed.width + reach, printable.width),
                            std::min(printed.height + reach, printable.height));
        page.onPaper = {page.bitmap.width(), page.bitmap.height()};
    } else {
        const ColourAxis x = colourAxis(printed.width, source.width(), printable.width, reach);
        const ColourAxis y = colourAxis(printed.height, source.height(), printable.height, reach);
        page.bitmap.setMonochrome(false);
        page.bitmap.setSize(x.pixels, y.pixels);
        page.onPaper = {x.paper, y.paper};
        stretched = {x.stretched, y.stretched};
    }
    if (page.bitmap.isEmpty() || source.isEmpty()) return page;
    if (thick)
        thicken(page.bitmap, source, stretched.width, stretched.height);
    else
        page.bitmap.copyRect({0, 0, stretched.width, stretched.height}, source,
                             {0, 0, source.width(), source.height()});
    return page;
}

PrintCommand::PrintCommand(app::MainForm& form, app::PlatformServices& platform,
                           PrintedSizeDialog& paper, Viewer& viewer)
    : form_(form), platform_(platform), paper_(paper), viewer_(viewer) {}

void PrintCommand::install() { form_.Print1.onClick = [this] { Print1Click(); }; }

std::string PrintCommand::spooledText(const std::string& name, int k, int n) {
    std::string text = "Spooled to printer . . . '" + name + "'";
    if (n > 0) text += " (" + std::to_string(k) + " of " + std::to_string(n) + ")";
    return text;
}

std::string PrintCommand::notPrintedText(const std::string& name) {
    return "Exception occurred! '" + name + "' not printed.\n" + Viewer::kColourDepthWarning;
}

void PrintCommand::Print1Click() {
    form_.Panel1.setText("");
    paper_.refreshFromPrinter();
    const std::optional<app::PrinterGeometry> printer = platform_.printerGeometry();
    if (!printer) {
        app::showWarning(platform_, kNoPrinter);
        return;
    }
    if (paper_.widthMm() > printer->widthMm || paper_.heightMm() > printer->heightMm) {
        app::showWarning(platform_, kPaperTooSmall);
        return;
    }
    const bool all = !form_.locked() && form_.FileListBox1.selectedCount() > 0 &&
                     app::askConfirmation(platform_, kPrintAllQuestion,
                                          {app::Button::Yes, app::Button::No}) == app::Button::Yes;
    try {
        if (all)
            printSelected();
        else
            printChosen();
    } catch (const std::exception& e) {
        // A bitmap that cannot be loaded ends the command.
        app::reportError(platform_, e.what());
    }
}

void PrintCommand::printSelected() {
    walkSelectedBitmaps(form_.FileListBox1, [this](const SelectedBitmap& b) {
        if (printFile(b.path, b.entry)) form_.Panel1.setText(spooledText(b.entry, b.k, b.n));
        platform_.processPaintEvents();
        return true;
    });
    viewer_.setMode(ViewerMode::Normal);
}

void PrintCommand::printChosen() {
    form_.Panel1.setText(kChooseOne);
    const std::optional<std::string> chosen = chooseBitmapFile(form_, platform_);
    if (!chosen) {
        form_.Panel1.setText("");
        return;
    }
    if (printFile(*chosen, *chosen)) form_.Panel1.setText(spooledText(*chosen));
}

bool PrintCommand::printFile(const std::string& path, const std::string& name) {
    // One bitmap in memory at a time: loaded, printed, released. The
    // hourglass shows while it is, never over a message box.
    bool spooled = false;
    platform_.setBusyCursor(true);
    try {
        spooled = printOneBitmap(imaging::loadBmp(path));
    } catch (...) {
        platform_.setBusyCursor(false);
        throw;
    }
    platform_.setBusyCursor(false);
    if (!spooled) app::showWarning(platform_, notPrintedText(name));
    return spooled;
}

bool PrintCommand::printOneBitmap(imaging::Bitmap bitmap) {
    try {
        const std::optional<app::PrinterGeometry> printer = platform_.printerGeometry();
        if (!printer) return false;
        const DevicePage page =
            devicePage(bitmap, printedPixels(*printer, paper_.widthMm(), paper_.heightMm()),
                       {printer->widthPx, printer->heightPx}, form_.ThickPrint1.checked());
        bitmap = imaging::Bitmap();
        return platform_.printPage(page.bitmap, page.onPaper);
    } catch (const std::exception&) {
        // No memory for the page or inside the print engine: the job is
        // abandoned before anything of it reaches the spooler.
        return false;
    }
}

}  // namespace quillet::output
