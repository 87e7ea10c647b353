#include "app/help_window.h"

namespace quillet::app {

HelpWindow::HelpWindow(PlatformServices& platform, MousePointer& pointer)
    : platform_(platform), pointer_(pointer) {
    window.setStayOnTop(true);
}

void HelpWindow::Help1Click() {
    if (window.visible())
        window.hide();
    else
        window.show();
    const imaging::Size screen = platform_.screenSize();
    // The whole window, frame included, stands on the screen's bottom edge.
    window.moveTo((screen.width - window.outerWidth()) / 2, screen.height - window.outerHeight());
}

void HelpWindow::hintChanged(const std::string& hint) { setMemo(kHintPrefix + hint); }

void HelpWindow::fitTextHeight(int height) {
    if (height <= window.height()) return;
    const int bottom = window.top() + window.outerHeight();
    window.resize(window.width(), height);
    window.moveTo(window.left(), bottom - window.outerHeight());
}

void HelpWindow::memoMouseDown(int x, int y) {
    setMemo({});
    downX_ = x;
    downY_ = y;
    pointer_.set(PointerShape::Cross);
}

void HelpWindow::memoMouseMove(int x, int y) {
    if (!pointer_.isCross()) return;
    setMemo({});
    moveBy(x, y);
}

void HelpWindow::memoMouseUp(int x, int y) {
    moveBy(x, y);
    pointer_.set(PointerShape::Normal);
}

void HelpWindow::setMemo(std::string text) {
    if (text == memo_) return;
    memo_ = std::move(text);
    memoChanged.emit();
}

void HelpWindow::moveBy(int x, int y) {
    window.moveTo(window.left() + (x - downX_), window.top() + (y - downY_));
}

void mainFormMouseMove(MousePointer& pointer) {
    if (pointer.isCross()) pointer.set(PointerShape::Normal);
}

}  // namespace quillet::app
