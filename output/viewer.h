#pragma once
// The bitmap viewer (Ttempform, caption "Viewer"): a borderless floating
// window showing ViewerBitmap reduced by ViewerScale. The window is dragged
// with the left button and swept across large bitmaps with the right one;
// double-clicks halve the image until it fits into half the screen. A bitmap
// that the display cannot draw is handed to the external viewer.

#include <functional>
#include <string>

#include "app/main_form.h"
#include "app/mouse_pointer.h"
#include "app/platform_services.h"
#include "app/signal.h"
#include "app/window_model.h"
#include "imaging/bitmap.h"
#include "imaging/geometry.h"

namespace quillet::output {

enum class ViewerMode { Normal, Preview };

// Mouse buttons held during a move, as the view reports them.
struct MouseButtons {
    bool left = false;
    bool right = false;
};

class Viewer {
public:
    // The viewer's help text, shown by the help window.
    static constexpr const char* kHint =
        "The window can be moved by holding the left mouse button down and dragging. For large "
        "bitmaps you can also use the right mouse button for faster scrolling. To view a bitmap "
        "just click on the file name in the filelist box on the main Quillet window.";
    // The temporary file handed to the external viewer, in the platform's
    // private temporary directory; deleted at program end.
    static constexpr const char* kTempFileName = "tempprev.bmp";
    static constexpr const char* kColourDepthWarning =
        "Use a lower desktop colour depth. Use the monochrome STANDARD VGA DRIVER for very large "
        "bitmaps!";
    static constexpr const char* kTempFileWarning =
        "Free some space in your Windows drive!\nCan't launch external viewer without writing "
        "temporary file.";
    // Largest side (in shown pixels) and largest shown area the view draws.
    static constexpr int kMaxShownSide = 16384;
    static constexpr long long kMaxShownPixels = 1LL << 28;

    // `pointer` is the application's pointer shape, shared with the help
    // window; `form` gives the status panel and the output directory state.
    Viewer(app::PlatformServices& platform, app::MainForm& form, app::MousePointer& pointer);

    // Borderless, always-on-top tool window; visible at start.
    app::WindowModel window{"Ttempform", "Viewer", 0, 0, true};

    imaging::Bitmap ViewerBitmap;
    // 1, 2, 4, ...: the window shows the bitmap's sides divided by it.
    int ViewerScale = 1;
    ViewerMode mode = ViewerMode::Normal;
    // The fast-scroll factor of the right-button sweep (the window's tag).
    int Tag = 1;

    // Window creation: places the window at the top right of the screen
    // (left = screen width - ViewerBitmap width, top = 0) and lays it out.
    void install();

    // ---- used by the file list, the preview and the acquire command
    // Replaces ViewerBitmap by the file's bitmap: the old one is dropped
    // first, so a failed load leaves an empty bitmap and rethrows the
    // BitmapError for the caller to report. On success ViewerScale := 1.
    void loadFile(const std::string& path);
    // Replaces ViewerBitmap (the preview and acquire put their images here);
    // ViewerScale := 1. No refresh.
    void setBitmap(imaging::Bitmap bitmap);
    // A negative top or left edge is moved to 0.
    void clampToScreenOrigin();
    // Shows a bitmap file: loadFile, clampToScreenOrigin, refresh.
    void showFile(const std::string& path);
    // If the window is visible it is hidden and shown again: it repaints and
    // takes the size of the bitmap (see paint()).
    void refresh();
    void show();
    void hide();
    void setMode(ViewerMode m) { mode = m; }

    // ---- painting
    int shownWidth() const { return ViewerBitmap.width() / ViewerScale; }
    int shownHeight() const { return ViewerBitmap.height() / ViewerScale; }
    // Whether the view can draw ViewerBitmap at ViewerScale: each shown side
    // at most kMaxShownSide and the shown area at most kMaxShownPixels.
    bool drawable() const;
    // The layout of a paint: the window takes the shown size; when the
    // bitmap cannot be drawn it goes to the external viewer (hidden, 100 x
    // 100, "tempprev.bmp" written and opened, warnings). Returns whether the
    // view should draw now. Runs on every show and refresh; the view calls it
    // too before drawing. An empty bitmap gives a 0 x 0 window (the view may
    // keep a minimum of 1 x 1).
    bool paint();

    // ---- user actions, in window coordinates
    void doubleClick();
    void mouseDown(int x, int y);
    // A move to (x, y) in window coordinates, the pointer at `screen` in
    // screen coordinates, with the buttons held.
    void mouseMove(int x, int y, imaging::Point screen, MouseButtons held);
    void mouseUp();
    // Escape (27) hides the window; other keys do nothing.
    void keyPress(int key);

    // ---- the View menu of the main window
    // F12: flips the visibility; status "Bitmap Viewer ON" / "Bitmap Viewer OFF".
    void ToggleViewerWindow1Click();
    // F11: OpenDialog1 in the output directory; the chosen file is loaded
    // into ViewerBitmap and shown. A failed load gets the general error
    // report and leaves ViewerBitmap as the load left it.
    void Viewfromotherdirectory1Click();

    // Full path of the temporary file in the private temporary directory.
    std::string tempFilePath() const;

    // Emitted whenever ViewerBitmap or ViewerScale changed: the view drops
    // its cached scaled image.
    app::Signal bitmapChanged;

private:
    void externalViewer();

    app::PlatformServices& platform_;
    app::MainForm& form_;
    app::MousePointer& pointer_;
    int downX_ = 0;
    int downY_ = 0;
};

}  // namespace quillet::output
