#include "output/viewer.h"

#include <exception>
#include <utility>

#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "imaging/bmp_file.h"
#include "output/open_dialog.h"

namespace quillet::output {

Viewer::Viewer(app::PlatformServices& platform, app::MainForm& form, app::MousePointer& pointer)
    : platform_(platform), form_(form), pointer_(pointer) {
    window.setStayOnTop(true);
}

void Viewer::install() {
    const imaging::Size screen = platform_.screenSize();
    window.moveTo(screen.width - ViewerBitmap.width(), 0);
    if (window.visible()) paint();
}

std::string Viewer::tempFilePath() const {
    return app::joinPath(platform_.privateTempDirectory(), kTempFileName);
}

void Viewer::loadFile(const std::string& path) {
    // The old bitmap goes first: a failed load leaves an empty one.
    ViewerBitmap = imaging::Bitmap();
    bitmapChanged.emit();
    ViewerBitmap = imaging::loadBmp(path);
    ViewerScale = 1;
    bitmapChanged.emit();
}

void Viewer::setBitmap(imaging::Bitmap bitmap) {
    ViewerBitmap = std::move(bitmap);
    ViewerScale = 1;
    bitmapChanged.emit();
}

void Viewer::clampToScreenOrigin() {
    window.moveTo(window.left() < 0 ? 0 : window.left(), window.top() < 0 ? 0 : window.top());
}

void Viewer::showFile(const std::string& path) {
    loadFile(path);
    clampToScreenOrigin();
    refresh();
}

void Viewer::refresh() {
    if (!window.visible()) return;
    window.hideAndShow();
    paint();
}

void Viewer::show() {
    window.show();
    paint();
}

void Viewer::hide() { window.hide(); }

bool Viewer::drawable() const {
    const long long w = shownWidth(), h = shownHeight();
    return w <= kMaxShownSide && h <= kMaxShownSide && w * h <= kMaxShownPixels;
}

bool Viewer::paint() {
    if (!window.visible()) return false;
    if (!drawable()) {
        externalViewer();
        return false;
    }
    window.resize(shownWidth(), shownHeight());
    return true;
}

void Viewer::externalViewer() {
    window.hide();
    window.resize(100, 100);
    bool launched = false;
    try {
        const std::string path = tempFilePath();
        imaging::saveBmp(ViewerBitmap, path);
        launched = platform_.openWithAssociatedProgram(path);
    } catch (const std::exception&) {
        launched = false;
    }
    if (!launched) app::showWarning(platform_, kTempFileWarning);
    app::showWarning(platform_, kColourDepthWarning);
}

void Viewer::doubleClick() {
    if (mode == ViewerMode::Preview) return;
    const imaging::Size screen = platform_.screenSize();
    if (shownWidth() < screen.width / 2 && shownHeight() < screen.height / 2)
        ViewerScale = 1;
    else
        ViewerScale *= 2;
    bitmapChanged.emit();
    if (!window.visible()) return;
    if (!drawable()) {
        window.hide();
        window.resize(100, 100);
        app::showWarning(platform_, kColourDepthWarning);
        return;
    }
    window.resize(shownWidth(), shownHeight());
}

void Viewer::mouseDown(int x, int y) {
    downX_ = x;
    downY_ = y;
    pointer_.set(app::PointerShape::Cross);
}

void Viewer::mouseMove(int x, int y, imaging::Point screenPos, MouseButtons held) {
    if (!pointer_.isCross()) return;
    if (held.left) {
        window.moveTo(window.left() + (x - downX_), window.top() + (y - downY_));
    } else if (held.right) {
        const imaging::Size screen = platform_.screenSize();
        if (window.width() >= screen.width && window.height() >= screen.height &&
            screen.width > 0 && screen.height > 0) {
            // Integer arithmetic, the quotient truncated toward zero.
            const long long top =
                -(static_cast<long long>(Tag) * window.height() * screenPos.y) / screen.height;
            const long long left =
                -(static_cast<long long>(Tag) * window.width() * screenPos.x) / screen.width;
            window.moveTo(int(left), int(top));
        } else {
            pointer_.set(app::PointerShape::Normal);
        }
    } else {
        pointer_.set(app::PointerShape::Normal);
    }
}

void Viewer::mouseUp() {
    const imaging::Size screen = platform_.screenSize();
    int top = window.top(), left = window.left();
    if (top + window.height() < 0 || top >= screen.height) top = 0;
    if (left + window.width() < 0 || left >= screen.width) left = 0;
    window.moveTo(left, top);
    pointer_.set(app::PointerShape::Normal);
}

void Viewer::keyPress(int key) {
    if (key == 27) window.hide();
}

void Viewer::ToggleViewerWindow1Click() {
    if (window.visible())
        hide();
    else
        show();
    form_.Panel1.setText(window.visible() ? "Bitmap Viewer ON" : "Bitmap Viewer OFF");
}

void Viewer::Viewfromotherdirectory1Click() {
    const std::optional<std::string> chosen = chooseBitmapFile(form_, platform_);
    if (!chosen) return;
    ViewerScale = 1;
    try {
        ViewerBitmap = imaging::loadBmp(*chosen);
    } catch (const std::exception& e) {
        bitmapChanged.emit();
        app::reportError(platform_, e.what());
        return;
    }
    bitmapChanged.emit();
    window.show();
    clampToScreenOrigin();
    refresh();
}

}  // namespace quillet::output
