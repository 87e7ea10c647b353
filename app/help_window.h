#pragma once
// The context help window (TForm2, caption "Help"): a small always-on-top
// window whose yellow text area Memo1 shows the help text of whatever the
// pointer is over. F1 shows and hides it at the bottom centre of the screen;
// the user drags it by its text area.

#include <string>

#include "app/mouse_pointer.h"
#include "app/platform_services.h"
#include "app/signal.h"
#include "app/window_model.h"

namespace quillet::app {

class HelpWindow {
public:
    // The window's and Memo1's own help text.
    static constexpr const char* kHint =
        "Read 'Qllet.txt', located in the installation directory, for an introduction to using "
        "Quillet. This Help window will provide context-sensitive help when the user moves the "
        "cursor over a relevant area. Press F1 to toggle on and off.";
    // What goes before every help text in Memo1: four tabs and seven blanks.
    static constexpr const char* kHintPrefix = "\t\t\t\t       ";
    // Memo1's geometry inside the client area: it overfills the window and
    // its first 16 pixels are hidden above the top edge. Yellow background,
    // black 10 point "MS Serif", no border, read-only.
    static constexpr int kMemoLeft = 0;
    static constexpr int kMemoTop = -16;
    static constexpr int kMemoWidth = 284;
    static constexpr int kMemoHeight = 129;
    static constexpr int kMemoPointSize = 10;
    static constexpr const char* kMemoFont = "MS Serif";

    HelpWindow(PlatformServices& platform, MousePointer& pointer);

    // Dialog frame with a close box, always on top, client 284 x 85, hidden.
    WindowModel window{"TForm2", "Help", 284, 85, false};

    const std::string& memoText() const { return memo_; }
    // Emitted when Memo1's text changed.
    Signal memoChanged;

    // F1 (Help1): flips the visibility and, shown or hidden, places the window
    // at the bottom centre of the screen.
    void Help1Click();
    // The application's current help text changed (the control under the
    // pointer, or the highlighted menu item): Memo1 := prefix + hint, whether
    // the window is visible or not.
    void hintChanged(const std::string& hint);

    // The view found that Memo1's text needs a client area `height` pixels
    // high to be read whole: a lower window grows to it, its bottom edge
    // staying where it is. The window never shrinks.
    void fitTextHeight(int height);

    // Drag by the text area (any button), in Memo1's coordinates.
    void memoMouseDown(int x, int y);
    void memoMouseMove(int x, int y);
    void memoMouseUp(int x, int y);

private:
    void setMemo(std::string text);
    void moveBy(int x, int y);

    PlatformServices& platform_;
    MousePointer& pointer_;
    std::string memo_;
    int downX_ = 0;
    int downY_ = 0;
};

// The main window's surface (not a control) saw the mouse move: a cross
// pointer left over from a lost button release returns to normal.
void mainFormMouseMove(MousePointer& pointer);

}  // namespace quillet::app
