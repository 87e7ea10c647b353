#pragma once
// Print Preview (File > Print Preview...): shows in the viewer how each
// selected bitmap, or one chosen in OpenDialog1, comes out on paper: an
// image with the printed size's proportions, the bitmap stretched over it
// and, with Thick Print, thickened by one of its own pixels.

#include <string>

#include "app/main_form.h"
#include "app/platform_services.h"
#include "imaging/bitmap.h"
#include "imaging/geometry.h"
#include "output/printed_size_dialog.h"
#include "output/viewer.h"

namespace quillet::output {

// The preview's size for a width x height bitmap and a printed size of
// widthMm x heightMm: one side stays the bitmap's own, the other grows to
// the printed size's proportions (rounded, halves to even).
// Preconditions: all arguments >= 1.
imaging::Size previewSize(int width, int height, int widthMm, int heightMm);

// The preview image: monochrome for a monochrome bitmap, colour otherwise,
// of previewSize, the bitmap stretched over it and thickened when `thick`.
// Throws imaging::BitmapError when the image cannot be allocated.
imaging::Bitmap previewImage(const imaging::Bitmap& bitmap, int widthMm, int heightMm, bool thick);

class PreviewCommand {
public:
    static constexpr const char* kPreviewAllQuestion =
        "Do you want to preview the selected bitmaps?\nClick 'No' to choose another.";
    static constexpr const char* kChooseOne = "Choose a single bitmap to preview";

    PreviewCommand(app::MainForm& form, app::PlatformServices& platform, PrintedSizeDialog& paper,
                   Viewer& viewer);

    // Puts PrintPreview1Click on the PrintPreview1 menu item.
    void install();

    // The preview command.
    void PrintPreview1Click();

    // "'" + name + "' not previewed (skipped due to error)"
    static std::string notPreviewedText(const std::string& name);

private:
    void previewSelected();
    void previewChosen();
    // Moves the viewer to the screen's top-left corner, hidden, in preview
    // mode.
    void enterPreview();
    // Loads the file (a load failure throws) and puts its preview into the
    // viewer; reports a preview that cannot be made under `name`.
    void previewFile(const std::string& path, const std::string& name);

    app::MainForm& form_;
    app::PlatformServices& platform_;
    PrintedSizeDialog& paper_;
    Viewer& viewer_;
};

}  // namespace quillet::output
