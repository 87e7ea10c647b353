#pragma once
// The application's mouse pointer shape as the logic sets it. The cross marks
// a drag of the help window or the viewer under way; moving over the main
// window's own surface while it shows returns it to normal, which ends a drag
// whose button release was lost.

#include "app/signal.h"

namespace quillet::app {

enum class PointerShape { Normal, Cross };

class MousePointer {
public:
    PointerShape shape() const { return shape_; }
    bool isCross() const { return shape_ == PointerShape::Cross; }
    void set(PointerShape s) {
        if (shape_ == s) return;
        shape_ = s;
        changed.emit();
    }
    // The view sets the application's override cursor from this.
    Signal changed;

private:
    PointerShape shape_ = PointerShape::Normal;
};

}  // namespace quillet::app
