#pragma once
// The state of one top-level window that the logic shows, hides and moves.

#include <string>

#include "app/signal.h"

namespace quillet::app {

class WindowModel {
public:
    WindowModel(std::string className, std::string caption, int width, int height,
                bool visible = false)
        : className_(std::move(className)), caption_(std::move(caption)), width_(width),
          height_(height), visible_(visible) {}

    const std::string& className() const { return className_; }
    const std::string& caption() const { return caption_; }
    bool visible() const { return visible_; }
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void setCaption(std::string c) { caption_ = std::move(c); changed.emit(); }
    // The window's outer size: the client area plus the frame (title bar,
    // borders) that the desktop draws around it, as the view reports it;
    // the client size while no view has reported a frame.
    int outerWidth() const { return width_ + frameWidth_; }
    int outerHeight() const { return height_ + frameHeight_; }
    // The view reports the frame's extra width and height. Changes nothing
    // the view shows, so no signal.
    void setFrameExtents(int extraWidth, int extraHeight) {
        frameWidth_ = extraWidth;
        frameHeight_ = extraHeight;
    }
    // Whether the window stays above other applications' windows.
    bool stayOnTop() const { return stayOnTop_; }
    void setStayOnTop(bool on) { if (stayOnTop_ != on) { stayOnTop_ = on; changed.emit(); } }
    // Minimised to the desktop's task bar (the acquire command's main window).
    bool minimized() const { return minimized_; }
    void setMinimized(bool on) { if (minimized_ != on) { minimized_ = on; changed.emit(); } }
    void show() { if (!visible_) { visible_ = true; changed.emit(); } }
    void hide() { if (visible_) { visible_ = false; changed.emit(); } }
    void moveTo(int left, int top) {
        if (left_ == left && top_ == top) return;
        left_ = left; top_ = top; changed.emit();
    }
    void resize(int width, int height) {
        if (width_ == width && height_ == height) return;
        width_ = width; height_ = height; changed.emit();
    }
    // Hides and shows again: the window repaints and comes to the front.
    void hideAndShow() {
        hide();
        show();
        raised.emit();
    }
    // Brings the window to the front without hiding it.
    void bringToFront() { raised.emit(); }

    // The view mirrors visibility, geometry and caption.
    Signal changed;
    Signal raised;

private:
    std::string className_;
    std::string caption_;
    int left_ = 0;
    int top_ = 0;
    int width_;
    int height_;
    bool visible_;
    bool stayOnTop_ = false;
    bool minimized_ = false;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
};

}  // namespace quillet::app
