#pragma once
// Print (File > Print..., Ctrl+P): each selected bitmap, or one chosen in
// OpenDialog1, is one print job of one page, stretched to the printed size
// from the top-left of the printable area and, with Thick Print, thickened
// at device resolution. Progress goes to the status panel.

#include <string>

#include "app/main_form.h"
#include "app/platform_services.h"
#include "imaging/bitmap.h"
#include "imaging/geometry.h"
#include "output/printed_size_dialog.h"
#include "output/viewer.h"

namespace quillet::output {

// The printed size in device pixels: printed millimetres times the printer's
// pixels per millimetre on each axis, rounded to the nearest pixel with
// halves to the even neighbour.
imaging::Size printedPixels(const app::PrinterGeometry& printer, int widthMm, int heightMm);

// What goes to the printer: `bitmap`, drawn from the top-left of the
// printable area over `onPaper` device pixels.
struct DevicePage {
    imaging::Bitmap bitmap;
    imaging::Size onPaper;
};

// The page of `source` stretched to `printed` device pixels and, when
// `thick`, thickened. A monochrome source gives a monochrome page at device
// pixels (black wins when shrinking), drawn 1:1 and clipped to the
// printable area; with Thick Print it reaches one pixel past the printed
// size where the printable area allows, for the ink that the thickening
// moves there. A colour page has on each axis no more pixels than the
// source (the printer stretches it further), so that its memory is bounded
// by the source's; Thick Print then thickens by one of its own pixels, as
// the preview does. Throws imaging::BitmapError when the page cannot be
// allocated.
DevicePage devicePage(const imaging::Bitmap& source, imaging::Size printed, imaging::Size printable,
                      bool thick);

class PrintCommand {
public:
    static constexpr const char* kPaperTooSmall =
        "You cannot print with the current printer settings because the paper size set for the "
        "printer is smaller than the paper size set in Quillet.";
    static constexpr const char* kNoPrinter =
        "No printer is installed: nothing can be printed.";
    static constexpr const char* kPrintAllQuestion = "Do you want to print all the selected bitmaps?";
    static constexpr const char* kChooseOne = "Choose a single bitmap to print";

    PrintCommand(app::MainForm& form, app::PlatformServices& platform, PrintedSizeDialog& paper,
                 Viewer& viewer);

    // Puts Print1Click on the Print1 menu item.
    void install();

    // The print command.
    void Print1Click();

    // Prints one loaded bitmap as one job of one page; the bitmap is
    // released once the device page is made, before the job is spooled.
    // False when the job failed anywhere after loading (no memory for the
    // page, the printer refused the job): the job is then abandoned and
    // nothing of it is printed.
    bool printOneBitmap(imaging::Bitmap bitmap);

    // "Spooled to printer . . . '" + name + "'", with " (k of n)" for the
    // selected bitmaps (n > 0).
    static std::string spooledText(const std::string& name, int k = 0, int n = 0);
    // The warning of a failed job.
    static std::string notPrintedText(const std::string& name);

private:
    void printSelected();
    void printChosen();
    // Prints the file at path, reporting under `name`; a load failure throws.
    bool printFile(const std::string& path, const std::string& name);

    app::MainForm& form_;
    app::PlatformServices& platform_;
    PrintedSizeDialog& paper_;
    Viewer& viewer_;
};

}  // namespace quillet::output
