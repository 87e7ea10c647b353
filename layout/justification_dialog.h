#pragma once
// The justification dialog (TTabbedNotebookDlg): where an internal page
// smaller than its place sits, per axis. A notebook of two pages,
// "Horizontal Justification" (index 0) and "Vertical Justification" (1).

#include <string>

#include "app/signal.h"
#include "app/window_model.h"

namespace quillet::layout {

enum class HorizontalJustification { Left, Centre, Right };
enum class VerticalJustification { Top, Centre, Bottom };

class JustificationDialog {
public:
    app::WindowModel window{"TTabbedNotebookDlg", "Justification", 0, 0, false};

    // The radio buttons; exactly one per group is on.
    bool left = true, centreh = false, right = false;
    bool top = true, centre = false, bottom = false;

    // The notebook page shown: 0 horizontal, 1 vertical.
    int pageIndex = 0;

    void setHorizontal(HorizontalJustification j) {
        left = j == HorizontalJustification::Left;
        centreh = j == HorizontalJustification::Centre;
        right = j == HorizontalJustification::Right;
        changed.emit();
    }
    void setVertical(VerticalJustification j) {
        top = j == VerticalJustification::Top;
        centre = j == VerticalJustification::Centre;
        bottom = j == VerticalJustification::Bottom;
        changed.emit();
    }
    // Read back in the system's test order: centre, then the far side.
    HorizontalJustification horizontal() const {
        if (centreh) return HorizontalJustification::Centre;
        if (right) return HorizontalJustification::Right;
        return HorizontalJustification::Left;
    }
    VerticalJustification vertical() const {
        if (centre) return VerticalJustification::Centre;
        if (bottom) return VerticalJustification::Bottom;
        return VerticalJustification::Top;
    }

    app::Signal changed;
};

}  // namespace quillet::layout
