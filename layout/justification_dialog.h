#pragma once
// The justification dialog (TTabbedNotebookDlg): where an internal page
// smaller than its place sits, per axis. A notebook of two pages,
// "Horizontal Justification" (index 0) and "Vertical Justification" (1).

#include <array>
#include <string>

#include "app/signal.h"
#include "app/window_model.h"

namespace quillet::app {
struct MainForm;
}

namespace quillet::layout {

enum class HorizontalJustification { Left, Centre, Right };
enum class VerticalJustification { Top, Centre, Bottom };

class JustificationDialog {
public:
    app::WindowModel window{"TTabbedNotebookDlg", "Justification", 0, 0, false};

    // The notebook (`Justification`): page captions by index.
    static constexpr std::array<const char*, 2> kPageCaptions{"Horizontal Justification",
                                                             "Vertical Justification"};
    // Radio captions: left, centreh, right; top, centre, bottom.
    static constexpr std::array<const char*, 3> kHorizontalCaptions{"Left", "Centre", "Right"};
    static constexpr std::array<const char*, 3> kVerticalCaptions{"Top", "Centre", "Bottom"};
    // Hints of the two menu items that open the dialog.
    static constexpr const char* kVerticalItemHint =
        "Sets top/centre/bottom orientation of internal pages in their page space. The default "
        "is top. To have any effect, 'Fix page size to longest height' must be checked and "
        "'Stretch to longest height' must NOT be checked.";
    static constexpr const char* kHorizontalItemHint =
        "Sets left/centre/right orientation of internal pages in their page space. The default "
        "is left. To have any effect, 'Fix page size to largest width' must be checked and "
        "'Stretch to largest width' must NOT be checked.";

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

    // Turns the notebook to the page whose caption equals `caption` without
    // regard to case (no page matches: the page stays) and shows the dialog.
    void showPage(const std::string& caption);
    // Options > Advanced Format Options > Set Vertical Page Justification...
    void Setverticalpagejustification1Click() { showPage("vertical justification"); }
    // Options > Advanced Format Options > Set Horizontal Page Justification...
    void Sethorizontalpagejustification1Click() { showPage("horizontal justification"); }

    // Installs the two menu items' handlers and hints on the main window.
    void install(app::MainForm& form);

    app::Signal changed;
    // Emitted when pageIndex changed, for the view.
    app::Signal pageChanged;
};

// Offsets of an internal page inside its place, per axis, in pixels.
struct JustificationOffsets {
    int x = 0;
    int y = 0;
};

// Which options govern the offsets.
struct JustificationOptions {
    bool fixWidth = false;       // Fix Page Size to Largest Width
    bool stretchWidth = false;   // Stretch to Largest Width
    bool fixHeight = false;      // Fix Page Size to Longest Height
    bool stretchHeight = false;  // Stretch to Longest Height
};

// The offset of a page inside its place. An axis counts only with its fixed
// size on and its stretch off; otherwise its offset is 0. The spare room is
// the place's size (internal borders of that axis included) less the page's
// size; centre gives spare div 2 (toward zero), right/bottom the whole
// spare, left/top 0.
JustificationOffsets justificationOffsets(HorizontalJustification h, VerticalJustification v,
                                          const JustificationOptions& options, int placeWidth,
                                          int pageWidth, int placeHeight, int pageHeight);

}  // namespace quillet::layout
