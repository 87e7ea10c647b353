#include "output/preview_command.h"

#include <exception>
#include <optional>

#include "app/message_boxes.h"
#include "base/rounding.h"
#include "imaging/bmp_file.h"
#include "output/bitmap_walk.h"
#include "output/open_dialog.h"
#include "output/thickening.h"

namespace quillet::output {

namespace {

// Puts the viewer back into normal mode when the command ends, also when a
// bitmap that cannot be loaded ends it: a viewer left in preview mode would
// ignore every double-click until the next preview.
class NormalModeOnExit {
public:
    explicit NormalModeOnExit(Viewer& v) : viewer_(v) {}
    ~NormalModeOnExit() { viewer_.setMode(ViewerMode::Normal); }
    NormalModeOnExit(const NormalModeOnExit&) = delete;
    NormalModeOnExit& operator=(const NormalModeOnExit&) = delete;

private:
    Viewer& viewer_;
};

}  // namespace

imaging::Size previewSize(int width, int height, int widthMm, int heightMm) {
    const double paper = double(widthMm) / heightMm;
    const double image = double(width) / height;
    if (paper / image > 1) return {base::toInt32(base::roundEven(width * paper / image)), height};
    return {width, base::toInt32(base::roundEven(height * image / paper))};
}

imaging::Bitmap previewImage(const imaging::Bitmap& bitmap, int widthMm, int heightMm, bool thick) {
    imaging::Bitmap preview;
    if (bitmap.isEmpty()) return preview;
    const imaging::Size size = previewSize(bitmap.width(), bitmap.height(), widthMm, heightMm);
    if (!bitmap.monochrome()) preview.setMonochrome(false);
    preview.setSize(size.width, size.height);
    if (thick)
        thicken(preview, bitmap, size.width, size.height);
    else
        preview.copyRect({0, 0, size.width, size.height}, bitmap, {0, 0, bitmap.width(), bitmap.height()});
    return preview;
}

PreviewCommand::PreviewCommand(app::MainForm& form, app::PlatformServices& platform,
                               PrintedSizeDialog& paper, Viewer& viewer)
    : form_(form), platform_(platform), paper_(paper), viewer_(viewer) {}

void PreviewCommand::install() { form_.PrintPreview1.onClick = [this] { PrintPreview1Click(); }; }

std::string PreviewCommand::notPreviewedText(const std::string& name) {
    return "'" + name + "' not previewed (skipped due to error)";
}

void PreviewCommand::PrintPreview1Click() {
    const bool all = !form_.locked() && form_.FileListBox1.selectedCount() > 0 && !form_.ZipListMode &&
                     app::askConfirmation(platform_, kPreviewAllQuestion,
                                          {app::Button::Yes, app::Button::No}) == app::Button::Yes;
    try {
        if (all)
            previewSelected();
        else
            previewChosen();
    } catch (const std::exception& e) {
        // A bitmap that cannot be loaded ends the command.
        app::reportError(platform_, e.what());
    }
}

void PreviewCommand::enterPreview() {
    viewer_.window.moveTo(0, 0);
    viewer_.hide();
    viewer_.setMode(ViewerMode::Preview);
}

void PreviewCommand::previewSelected() {
    enterPreview();
    const NormalModeOnExit normal(viewer_);
    walkSelectedBitmaps(form_.FileListBox1, [this](const SelectedBitmap& b) {
        previewFile(b.path, b.entry);
        const std::string counter = "'" + b.entry + "' (" + std::to_string(b.k) + "/" + std::to_string(b.n) + ")";
        return app::showInformation(platform_, counter, {app::Button::Ok, app::Button::Cancel}) != app::Button::Cancel;
    });
}

void PreviewCommand::previewChosen() {
    form_.Panel1.setText(kChooseOne);
    const std::optional<std::string> chosen = chooseBitmapFile(form_, platform_);
    if (!chosen) {
        form_.Panel1.setText("");
        return;
    }
    enterPreview();
    const NormalModeOnExit normal(viewer_);
    previewFile(*chosen, *chosen);
    form_.Panel1.setText("'" + *chosen + "'");
}

void PreviewCommand::previewFile(const std::string& path, const std::string& name) {
    viewer_.ViewerScale = 1;
    bool made = false;
    {
        // The old preview goes first, and the loaded bitmap is released
        // before the viewer is refreshed: at most the bitmap and its preview
        // are held at once.
        viewer_.setBitmap(imaging::Bitmap());
        platform_.setBusyCursor(true);
        imaging::Bitmap bitmap;
        try {
            bitmap = imaging::loadBmp(path);
        } catch (...) {
            platform_.setBusyCursor(false);
            throw;
        }
        try {
            viewer_.setBitmap(previewImage(bitmap, paper_.widthMm(), paper_.heightMm(),
                                           form_.ThickPrint1.checked()));
            made = true;
        } catch (const std::exception&) {
            made = false;
        }
        platform_.setBusyCursor(false);
    }
    if (made) {
        viewer_.show();
    } else {
        viewer_.hide();
        viewer_.setBitmap(imaging::Bitmap());
        form_.Panel1.setText(notPreviewedText(name));
        app::showWarning(platform_, Viewer::kColourDepthWarning);
    }
    viewer_.refresh();
}

}  // namespace quillet::output
